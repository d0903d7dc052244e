#pragma once
// The small "key=value" text files the program writes for itself (recovery
// manifests, history indexes): their values on one line and their numbers.

#include <algorithm>
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

} // namespace pixora
