// The measurement-object file reader on arbitrary bytes. A file it accepts must
// write out and read back to the same objects and layers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "measure/sco_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmira::measure;
  ScoContents first;
  if (!DecodeSco(data, size, first)) return 0;
  std::vector<uint8_t> written;
  if (!EncodeSco(first.layers, first.objects, written)) std::abort();
  ScoContents second;
  if (!DecodeSco(written.data(), written.size(), second)) std::abort();
  if (second.objects.size() != first.objects.size()) std::abort();
  for (size_t i = 0; i < first.objects.size(); ++i) {
    const MeasureObject &a = first.objects[i], &b = second.objects[i];
    if (a.kind != b.kind || a.points != b.points || a.curve.nodes != b.curve.nodes || a.text != b.text ||
        a.textAttr2 != b.textAttr2)
      std::abort();
  }
  std::vector<uint8_t> again;
  if (!EncodeSco(second.layers, second.objects, again) || again != written) std::abort();
  return 0;
}
