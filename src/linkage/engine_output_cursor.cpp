#include "linkage/engine_output_cursor.h"

#include <fstream>
#include <sstream>

namespace relatix {

std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

}  // namespace relatix
