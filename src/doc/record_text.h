#pragma once
// The small "key=value" text files the program writes for itself (recovery
// manifests, history indexes): their values on one line and their numbers.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace pixora {

// The text with its line breaks made spaces, so that it stays one value.
inline std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

// A decimal number of at most 18 digits (it cannot overflow); false for
// anything else, `out` then unchanged.
inline bool ParseDecimal(const std::string& text, long long& out) {
    if (text.empty() || text.size() > 18) return false;
    long long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

// Reads such a file: false when it is larger than `limit` bytes or its first
// line is not `head`; otherwise `take` is given each "key=value" line (lines
// without "=" are passed over) and the file reads when none of them
// returned false.
inline bool ReadRecordFile(const std::filesystem::path& path, const char* head, std::uintmax_t limit,
                           const std::function<bool(const std::string& key, const std::string& value)>& take) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > limit) return false;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != head) return false;
    bool ok = true;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        ok = take(line.substr(0, eq), line.substr(eq + 1)) && ok;
    }
    return ok;
}

} // namespace pixora
