// Libraries opened when a feature first needs them rather than at every start (the
// scanner interface, FFmpeg, the workbook writer, velmira-cli's text module). The
// handles stay open for the life of the process. Users link ${CMAKE_DL_LIBS}.
#pragma once

#include <dlfcn.h>

#include <string>

namespace velmira {

// The library, or nullptr with the loader's reason in `why`.
inline void* OpenRunTimeLibrary(const std::string& name, std::string* why) {
  void* h = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h && why) {
    const char* e = dlerror();
    *why = "cannot open " + name + (e ? std::string(": ") + e : std::string());
  }
  return h;
}

// Sets `out` to the function `name` of `library`; false when it has none.
template <typename F>
bool ResolveFunction(void* library, const char* name, F& out) {
  out = reinterpret_cast<F>(dlsym(library, name));
  return out != nullptr;
}

}  // namespace velmira
