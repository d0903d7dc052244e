#include "io/ini_file.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "io/text_lines.h"

namespace pixora {

namespace {

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// A preference file is a few lines; anything bigger is not one of ours and
// reads as empty (and is replaced by the next write).
constexpr std::size_t kMaxIniBytes = 64 * 1024;

std::vector<std::string> ReadLines(const std::string& file) {
    return ReadSmallTextFile(file, kMaxIniBytes);
}

// Section name of a "[name]" line, or "" for other lines.
bool SectionOf(const std::string& line, std::string& name) {
    const std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') return false;
    name = Trim(t.substr(1, t.size() - 2));
    return true;
}

} // namespace

std::string ReadIniValue(const std::string& file, const std::string& section, const std::string& key) {
    bool inSection = false;
    for (const std::string& line : ReadLines(file)) {
        std::string name;
        if (SectionOf(line, name)) {
            inSection = SameName(name, section);
            continue;
        }
        if (!inSection) continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        if (SameName(Trim(line.substr(0, eq)), key)) return Trim(line.substr(eq + 1));
    }
    return "";
}

namespace {

// Sets one key in the lines of a file.
void SetValue(std::vector<std::string>& lines, const std::string& section, const std::string& key,
              const std::string& value) {
    bool inSection = false;
    std::size_t sectionEnd = std::string::npos;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (SectionOf(lines[i], name)) {
            if (inSection) break;
            inSection = SameName(name, section);
            if (inSection) sectionEnd = i + 1;
            continue;
        }
        if (!inSection) continue;
        sectionEnd = i + 1;
        const auto eq = lines[i].find('=');
        if (eq != std::string::npos && SameName(Trim(lines[i].substr(0, eq)), key)) {
            lines[i] = key + "=" + value;
            return;
        }
    }
    if (sectionEnd == std::string::npos) {
        lines.push_back("[" + section + "]");
        lines.push_back(key + "=" + value);
    } else {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), key + "=" + value);
    }
}

} // namespace

bool WriteIniValues(const std::string& file, const std::string& section,
                    const std::vector<std::pair<std::string, std::string>>& values, std::string* error) {
    std::vector<std::string> lines = ReadLines(file);
    for (const auto& [key, value] : values)
        SetValue(lines, section, key, value);
    return WriteSmallTextFile(file, lines, error);
}

bool WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) {
    return WriteIniValues(file, section, {{key, value}});
}

} // namespace pixora
