#pragma once
// Reading and writing single keys of an INI file ([section] / key=value).

#include <string>

namespace pixora {

// The value of key in section, or "" when the file, the section or the key
// is missing. Section and key names compare without regard to case; the
// value is returned as written (trailing CR and spaces removed).
std::string ReadIniValue(const std::string& file, const std::string& section, const std::string& key);

// Sets key in section, creating the file, section or key as needed.
bool WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value);

} // namespace pixora
