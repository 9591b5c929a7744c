// Writing a command's JSON document: every text in it comes from 8-bit files or
// arguments, so each is converted from Windows-1252 to UTF-8 first; the output is
// always valid JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>

namespace relatix::cli {

void writeJson(std::ostream& out, const nlohmann::json& document);

}  // namespace relatix::cli
