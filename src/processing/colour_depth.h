#pragma once
#include "image/image_buffer.h"
namespace velmira {
bool ReduceTo8Bit(const CImageBuffer& in, CImageBuffer& out8);
}
