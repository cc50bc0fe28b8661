// libFuzzer target: a scanner's page as the device describes and sends it (frame
// parameters and bytes), replayed through the page assembler.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "online/scan_replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<velmira::CImageBuffer> image = velmira::online::ReplayPage(data, size);
  // A picture is never larger than what the recording held lines for.
  if (image && (image->Width() < 1 || image->Height() < 1 || image->Width() > velmira::online::kMaxScanDimension ||
                image->Height() > velmira::online::kMaxScanDimension))
    std::abort();
  return 0;
}
