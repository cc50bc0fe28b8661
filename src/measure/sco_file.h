// Measurement-object files (".sco"): the document's layers — the first and active
// layer, the 256-byte picture header, then each layer along the chain with its
// record, pixels, transparency and effect plane — followed by the objects: their
// count, then per object its kind (right-aligned in 15 characters), point count,
// note colour and note length, the points, and a note's text on its own line.
// Numbers are decimal text; the layer blocks are raw bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "image/layers.h"
#include "measure/objects.h"

namespace velmira::measure {

extern const char* const kMsgScoDamaged;
extern const char* const kMsgScoSaveFailed;

struct ScoContents {
  LayerStack layers;
  std::vector<MeasureObject> objects;
};

// Bytes of the file; false when a layer's buffers disagree with its record.
bool EncodeSco(const LayerStack& layers, const std::vector<MeasureObject>& objects, std::vector<uint8_t>& out,
               std::string* why = nullptr);
// The whole file or nothing: false (with an English reason) for anything damaged or cut.
bool DecodeSco(const uint8_t* data, size_t size, ScoContents& out, std::string* why = nullptr);

bool WriteScoFile(const std::filesystem::path& path, const LayerStack& layers,
                  const std::vector<MeasureObject>& objects, std::string* why = nullptr);
bool ReadScoFile(const std::filesystem::path& path, ScoContents& out, std::string* why = nullptr);

}  // namespace velmira::measure
