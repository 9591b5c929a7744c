#include "json_output.h"

#include "core/text_encoding.h"

namespace relatix::cli {

namespace {

nlohmann::json toUtf8(const nlohmann::json& value) {
    if (value.is_string()) return windows1252ToUtf8(value.get_ref<const std::string&>());
    if (value.is_array()) {
        nlohmann::json array = nlohmann::json::array();
        for (const auto& item : value) array.push_back(toUtf8(item));
        return array;
    }
    if (value.is_object()) {
        nlohmann::json object = nlohmann::json::object();
        for (const auto& [key, item] : value.items()) object[windows1252ToUtf8(key)] = toUtf8(item);
        return object;
    }
    return value;
}

}  // namespace

void writeJson(std::ostream& out, const nlohmann::json& document) {
    out << toUtf8(document).dump(2) << "\n";
}

}  // namespace relatix::cli
