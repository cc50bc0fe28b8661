// The layered-file reader on arbitrary bytes. Whatever it accepts must also be
// written back and read again: a file the editor opens must stay saveable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "formats/vlm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmira::LayerStack stack;
  velmira::CImageMemoryStream in(data, size);
  std::string message, detail;
  if (!velmira::ReadVlm(stack, nullptr, in, &message, &detail)) {
    if (message.empty()) std::abort();  // every refusal says why
    return 0;
  }
  velmira::CImageMemoryStream out;
  if (!velmira::WriteVlm(stack, out, &detail)) std::abort();
  velmira::LayerStack again;
  velmira::CImageMemoryStream back(out.Bytes().data(), out.Bytes().size());
  if (!velmira::ReadVlm(again, nullptr, back, &message, &detail)) std::abort();
  if (again.Chain() != stack.Chain()) std::abort();
  return 0;
}
