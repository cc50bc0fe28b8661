// The native layered format (".vlm"): a short text line, the 256-byte picture
// header, a flattened 24-bit preview, then every layer bottom first with its
// record, pixels, transparency, effect plane and, for text layers, the text.
// Versions 31, 36 and 362 are read; 362 is written.
#pragma once

#include <filesystem>
#include <string>

#include "formats/image_stream.h"
#include "image/layers.h"

namespace velmira {

class CHistory;

constexpr int kVlmVersion = 362;

// Messages shown to the user.
extern const char* const kMsgVlmOtherVersion;  // "VLM 형식의 버전이 상이함"
extern const char* const kMsgVlmDamaged;
extern const char* const kMsgVlmSaveFailed;

// Writes `stack` as a version-362 file. False (with an English reason in `detail`)
// when a layer's buffers do not match its record or the stream fails.
bool WriteVlm(const LayerStack& stack, CImageStream& out, std::string* detail = nullptr);

// Writes into a temporary file beside `path` and renames it over the old file only
// when everything was written: a failed save leaves the old file as it was.
// `message` gets the text to show on failure, `detail` the English reason.
bool WriteVlm(const LayerStack& stack, const std::filesystem::path& path, std::string* message,
              std::string* detail = nullptr);

// Reads a file into a new layer stack and, only when the whole file was read,
// puts it in place of `stack` and commits every layer to `history` (when given).
// On failure `stack` is untouched and `message` holds the text to show.
// The document then runs its after-open steps (serial, background kind, history).
bool ReadVlm(LayerStack& stack, CHistory* history, CImageStream& in, std::string* message,
             std::string* detail = nullptr);
bool ReadVlm(LayerStack& stack, CHistory* history, const std::filesystem::path& path, std::string* message,
             std::string* detail = nullptr);

}  // namespace velmira
