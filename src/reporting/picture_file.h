// Decoding the picture files a report embeds: Windows bitmaps, JPEG and GIF
// (the first frame), into 8-bit RGB with transparent pixels laid on white.
#pragma once

#include <optional>
#include <string>

#include "reporting/rtf_document.h"

namespace relatix {

// Pictures with more pixels than this are refused rather than decoded.
inline constexpr long long kMaximumPicturePixels = 16LL * 1024 * 1024;

// Nothing when the file is not a regular file, cannot be read or decoded, or
// is larger than a metafile can hold.
std::optional<RtfPicture> decodePictureFile(const std::string& path);

}  // namespace relatix
