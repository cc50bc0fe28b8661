#include "app/doc_services.h"

#include <cstdio>
#include <memory>

#include "formats/format_dispatch.h"
#include "formats/image_stream.h"
#include "formats/psd_import.h"
#include "formats/vlm.h"
#include "image/layer_effect.h"
#include "processing/colour_depth.h"
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

bool DocServices::ReadNative(CMirvDoc& doc, const std::filesystem::path& path, std::string& message) {
  // Without a history (batch runs) there is no snapshot store to commit layers to.
  return ReadVlm(doc.Layers(), doc.HistoryEnabled() ? &doc.History() : nullptr, path, &message);
}

bool DocServices::WriteNative(CMirvDoc& doc, const std::filesystem::path& path, std::string& message,
                              std::string& reason) {
  // The stored shadow planes and the preview show the shadows as they are now.
  RefreshLayerEffects(doc.Layers());
  return WriteVlm(doc.Layers(), path, &message, &reason);
}

bool DocServices::ReduceTo8Bit(CMirvDoc& doc) {
  // A paletted document (after "8 비트 컬러 표현", or opened from a GIF or a 4-bit
  // BMP) already fits a GIF: reducing it again would fail and lose the save.
  if (doc.Layers().header.bitsPerPixel <= 8) return true;
  if (doc.HistoryEnabled()) doc.History().SaveBackup(0, doc.Layers().active);
  return ConvertLayersTo8Bit(doc.Layers());
}

}  // namespace velmira
