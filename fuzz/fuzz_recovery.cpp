// The crash-recovery reader on arbitrary input. The input is a manifest, a NUL
// byte, then the bytes of the one history file every layer line may name ("blob").
// Whatever the manifest says, reading must neither crash nor allocate beyond what
// the file holds, and a stack it accepts must describe the buffers it holds.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "image/recovery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmira;
  static const std::filesystem::path folder = [] {
    auto p = std::filesystem::temp_directory_path() / ("velmira-fuzz-recovery-" + std::to_string(::getpid()));
    std::filesystem::create_directories(p);
    return p;
  }();
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t nul = input.find('\0');
  const std::string manifest = input.substr(0, nul);
  RecoveryManifest m;
  if (!ParseRecoveryManifest(manifest, m, nullptr)) return 0;
  {
    std::ofstream blob(folder / "blob", std::ios::binary | std::ios::trunc);
    if (nul != std::string::npos) blob.write(input.data() + nul + 1, std::streamsize(size - nul - 1));
  }
  RecoveryReadOptions options;
  options.checkIdentity = false;
  auto stack = std::make_unique<LayerStack>();
  std::string why;
  if (!ReadRecoveredLayers(folder, m, *stack, &why, options)) {
    if (why.empty()) std::abort();
    return 0;
  }
  for (int s : stack->Chain()) {
    const Layer& l = stack->slots[s];
    if (l.pixels.size() != size_t(l.imageSize) || l.alpha.size() != size_t(l.pixelCount) ||
        l.effect.size() != size_t(l.pixelCount) || int64_t(l.width) * l.height != l.pixelCount)
      std::abort();
  }
  if (!stack->Used(stack->active) || stack->Chain().size() != m.layers.size()) std::abort();
  return 0;
}
