// Windows metafiles written by hand: the standard header, one StretchDIB record
// holding a 24-bit device-independent bitmap, and the end record. Word
// processors read them as the picture data of an RTF \wmetafile8 group.
#pragma once

#include <cstdint>
#include <vector>

#include "reporting/rtf_document.h"

namespace relatix {

inline constexpr std::uint16_t kMetaStretchDib = 0x0F43;
inline constexpr std::uint32_t kSourceCopy = 0x00CC0020;
// The largest side a metafile's 16-bit coordinates hold.
inline constexpr int kMaximumMetafileSide = 32767;

// The metafile that draws the picture at destWidth x destHeight logical units
// from (0, 0). Empty when the picture has no pixels, its pixel data do not
// match its size, or a side does not fit the metafile's coordinates.
std::vector<std::uint8_t> pictureMetafile(const RtfPicture& picture, int destWidth, int destHeight);

}  // namespace relatix
