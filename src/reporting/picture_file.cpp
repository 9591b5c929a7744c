#include "reporting/picture_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>
#include <vector>

#include "reporting/windows_metafile.h"

#define STBI_ONLY_BMP
#define STBI_ONLY_JPEG
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace relatix {

std::optional<RtfPicture> decodePictureFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    if (bytes.empty() || bytes.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return std::nullopt;

    int w = 0, h = 0, channels = 0;
    const int length = static_cast<int>(bytes.size());
    // The size first, so an oversized picture is never decoded.
    if (!stbi_info_from_memory(bytes.data(), length, &w, &h, &channels)) return std::nullopt;
    if (w <= 0 || h <= 0 || w > kMaximumMetafileSide || h > kMaximumMetafileSide ||
        static_cast<long long>(w) * h > kMaximumPicturePixels)
        return std::nullopt;
    unsigned char* pixels = stbi_load_from_memory(bytes.data(), length, &w, &h, &channels, 4);
    if (!pixels) return std::nullopt;

    RtfPicture picture;
    picture.width = w;
    picture.height = h;
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    picture.rgb.resize(count * 3);
    for (size_t p = 0; p < count; ++p) {
        const unsigned alpha = pixels[4 * p + 3];
        for (size_t c = 0; c < 3; ++c) {
            const unsigned value = pixels[4 * p + c];
            picture.rgb[3 * p + c] =
                static_cast<unsigned char>((value * alpha + 255u * (255u - alpha) + 127u) / 255u);
        }
    }
    stbi_image_free(pixels);
    return picture;
}

}  // namespace relatix
