#include "app/doc_services.h"

#include <cstdio>
#include <memory>

#include "formats/format_dispatch.h"
#include "formats/image_stream.h"
#include "formats/psd_import.h"
#include "image/doc.h"

namespace velmira {

bool DocServices::LoadPicture(const std::filesystem::path& path, int code, CImageBuffer& out) {
  return LoadFile(out, path, code);
}

bool DocServices::SavePicture(const std::filesystem::path& path, int code, CImageBuffer& image) {
  return SaveFile(image, path, code);
}

bool DocServices::ImportPsd(const std::filesystem::path& path, CImageBuffer& out) {
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!f) {
    out.SetLastError("Can't open file for reading");
    return false;
  }
  CImageFileStream stream(f.get());
  return PsdImport(stream, out) == PsdResult::Ok;
}

}  // namespace velmira

namespace velmira {

bool DocServices::ReadNative(CMirvDoc&, const std::filesystem::path&, std::string& message) {
  message = "VLM reader pending";
  return false;
}
bool DocServices::WriteNative(CMirvDoc&, const std::filesystem::path&, std::string& message) {
  message = "VLM writer pending";
  return false;
}
bool DocServices::ReduceTo8Bit(CMirvDoc&) { return false; }

}  // namespace velmira
