// The calibration file reader on arbitrary bytes. What it reads must write out and
// read back to the same bytes: a file the editor wrote is always one it can read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "measure/calibration.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmira::measure;
  const CalibrationData first = DecodeCalibration(data, size);
  if (first.entries.size() > size_t(kMaxCalibrations)) std::abort();
  const std::vector<uint8_t> written = EncodeCalibration(first.entries, first.selected);
  const CalibrationData second = DecodeCalibration(written.data(), written.size());
  if (second.entries.size() != first.entries.size()) std::abort();
  for (size_t i = 0; i < first.entries.size(); ++i)
    if (second.entries[i].name != first.entries[i].name || second.entries[i].unit != first.entries[i].unit ||
        second.entries[i].refX != first.entries[i].refX || second.entries[i].refY != first.entries[i].refY)
      std::abort();
  if (EncodeCalibration(second.entries, second.selected) != written) std::abort();
  return 0;
}
