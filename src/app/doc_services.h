// The real FormatDispatch: documents reach the codecs, the native format and the
// colour-depth conversion through it. Shared by the editor and velmira-cli.
#pragma once

#include "image/doc_host.h"

namespace velmira {

class DocServices : public FormatDispatch {
 public:
  bool LoadPicture(const std::filesystem::path& path, int code, CImageBuffer& out) override;
  bool SavePicture(const std::filesystem::path& path, int code, CImageBuffer& image) override;
  bool ImportPsd(const std::filesystem::path& path, CImageBuffer& out) override;
  bool ReadNative(CMirvDoc& doc, const std::filesystem::path& path, std::string& message) override;
  bool WriteNative(CMirvDoc& doc, const std::filesystem::path& path, std::string& message,
                   std::string& reason) override;
  bool ReduceTo8Bit(CMirvDoc& doc) override;
};

}  // namespace velmira
