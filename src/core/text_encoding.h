// The 8-bit texts of case and database files (Windows-1252, the code page the
// laboratories' files and the RTF reports use) as UTF-8, for outputs such as JSON
// that must be valid Unicode.
#pragma once

#include <string>
#include <string_view>

namespace relatix {

// Every byte of 0x80 and above is read as its Windows-1252 character; the five
// bytes that code page leaves undefined become U+FFFD.
std::string windows1252ToUtf8(std::string_view text);

}  // namespace relatix
