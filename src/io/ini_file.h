#pragma once
// Reading and writing single keys of an INI file ([section] / key=value).

#include <string>
#include <utility>
#include <vector>

namespace pixora {

// The value of key in section, or "" when the file, the section or the key
// is missing. Section and key names compare without regard to case; the
// value is returned as written (trailing CR and spaces removed).
std::string ReadIniValue(const std::string& file, const std::string& section, const std::string& key);

// Sets key in section, creating the file, section or key as needed. The
// new text goes to a temporary file renamed over the old one, so a failed
// write leaves the file as it was.
bool WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value);

// Sets several keys of one section in one write. On failure `error`, when
// given, receives the reason naming the file.
bool WriteIniValues(const std::string& file, const std::string& section,
                    const std::vector<std::pair<std::string, std::string>>& values,
                    std::string* error = nullptr);

} // namespace pixora
