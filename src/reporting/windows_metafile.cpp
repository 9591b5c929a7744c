#include "reporting/windows_metafile.h"

#include <cstddef>
#include <limits>

namespace relatix {
namespace {

// Metafiles are little-endian and count their sizes in 16-bit words.
void putWord(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putDword(std::vector<std::uint8_t>& out, std::uint32_t value) {
    putWord(out, static_cast<std::uint16_t>(value & 0xFFFF));
    putWord(out, static_cast<std::uint16_t>(value >> 16));
}

constexpr std::uint32_t kHeaderWords = 9;
constexpr std::uint32_t kStretchDibFixedWords = 14;  // size, function, raster operation, 8 values
constexpr std::uint32_t kEndRecordWords = 3;
constexpr std::uint32_t kBitmapInfoBytes = 40;
constexpr std::int32_t kPelsPerMetre = 3780;  // 96 dots per inch

}  // namespace

std::vector<std::uint8_t> pictureMetafile(const RtfPicture& picture, int destWidth,
                                          int destHeight) {
    const int w = picture.width;
    const int h = picture.height;
    if (w <= 0 || h <= 0 || w > kMaximumMetafileSide || h > kMaximumMetafileSide ||
        destWidth <= 0 || destHeight <= 0 || destWidth > kMaximumMetafileSide ||
        destHeight > kMaximumMetafileSide)
        return {};
    if (picture.rgb.size() != static_cast<size_t>(w) * static_cast<size_t>(h) * 3) return {};

    // Rows of a 24-bit bitmap are padded to whole 32-bit units.
    const std::uint64_t stride = (static_cast<std::uint64_t>(w) * 3 + 3) / 4 * 4;
    const std::uint64_t pixelBytes = stride * static_cast<std::uint64_t>(h);
    const std::uint64_t recordWords = kStretchDibFixedWords + (kBitmapInfoBytes + pixelBytes) / 2;
    const std::uint64_t totalWords = kHeaderWords + recordWords + kEndRecordWords;
    if (totalWords > std::numeric_limits<std::uint32_t>::max()) return {};

    std::vector<std::uint8_t> out;
    out.reserve(static_cast<size_t>(totalWords * 2));

    // Header: a memory metafile of version 3 without objects.
    putWord(out, 1);
    putWord(out, kHeaderWords);
    putWord(out, 0x0300);
    putDword(out, static_cast<std::uint32_t>(totalWords));
    putWord(out, 0);
    putDword(out, static_cast<std::uint32_t>(recordWords));
    putWord(out, 0);

    // StretchDIB: the whole bitmap copied onto the destination rectangle.
    putDword(out, static_cast<std::uint32_t>(recordWords));
    putWord(out, kMetaStretchDib);
    putDword(out, kSourceCopy);
    putWord(out, 0);  // the colour table holds RGB values (none at 24 bits)
    putWord(out, static_cast<std::uint16_t>(h));
    putWord(out, static_cast<std::uint16_t>(w));
    putWord(out, 0);  // source y
    putWord(out, 0);  // source x
    putWord(out, static_cast<std::uint16_t>(destHeight));
    putWord(out, static_cast<std::uint16_t>(destWidth));
    putWord(out, 0);  // destination y
    putWord(out, 0);  // destination x

    // The device-independent bitmap: its header, then the rows bottom-up in BGR order.
    putDword(out, kBitmapInfoBytes);
    putDword(out, static_cast<std::uint32_t>(w));
    putDword(out, static_cast<std::uint32_t>(h));
    putWord(out, 1);   // planes
    putWord(out, 24);  // bits per pixel
    putDword(out, 0);  // uncompressed
    putDword(out, static_cast<std::uint32_t>(pixelBytes));
    putDword(out, static_cast<std::uint32_t>(kPelsPerMetre));
    putDword(out, static_cast<std::uint32_t>(kPelsPerMetre));
    putDword(out, 0);  // colours used
    putDword(out, 0);  // important colours
    const size_t padding = static_cast<size_t>(stride) - static_cast<size_t>(w) * 3;
    for (int y = h - 1; y >= 0; --y) {
        const std::uint8_t* row = picture.rgb.data() + static_cast<size_t>(y) * w * 3;
        for (int x = 0; x < w; ++x) {
            out.push_back(row[3 * x + 2]);
            out.push_back(row[3 * x + 1]);
            out.push_back(row[3 * x]);
        }
        out.insert(out.end(), padding, 0);
    }

    // End record.
    putDword(out, kEndRecordWords);
    putWord(out, 0);
    return out;
}

}  // namespace relatix
