// Byte layouts of the 256-byte picture header and the 396-byte layer record, shared
// by the native file format and the history files.
#pragma once

#include <cstdint>

#include "image/layers.h"

namespace velmira {

constexpr int kPictureHeaderBytes = 256;
constexpr int kLayerRecordBytes = 396;

void WritePictureHeader(const PictureHeader& h, uint8_t out[kPictureHeaderBytes]);
void ReadPictureHeader(const uint8_t in[kPictureHeaderBytes], PictureHeader& h);
// `available` bytes of the record are read (older files store fewer); fields past
// them keep their values in `l`.
void WriteLayerRecord(const Layer& l, uint8_t out[kLayerRecordBytes]);
void ReadLayerRecord(const uint8_t* in, int available, Layer& l);

}  // namespace velmira
