#include "io/convert_pipeline.h"

#include <cstdio>
#include <filesystem>

namespace pixora {

std::vector<std::string> ReadInputList(std::istream& in) {
    std::vector<std::string> names;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) names.push_back(line);
    }
    return names;
}

std::string OutputExtension(const std::string& input, const std::string& to, const TFormatTable& formats) {
    if (!to.empty()) return to;
    const std::filesystem::path name = std::filesystem::path(input).filename();
    if (!formats.WriterOf(formats.CodeOf(name.string()))) return ".bmp";
    return name.extension().string();
}

namespace {

const char* const kFields[] = {"stem", "ext", "n"};

// Calls `field` for each {name} and `text` for the text between; false at
// the first brace that does not open or close a known field.
template <typename TField, typename TText>
bool WalkPattern(const std::string& pattern, TField field, TText text) {
    std::size_t at = 0;
    while (at < pattern.size()) {
        const std::size_t open = pattern.find_first_of("{}", at);
        text(pattern.substr(at, open == std::string::npos ? std::string::npos : open - at));
        if (open == std::string::npos) break;
        const std::size_t close = pattern.find('}', open);
        if (pattern[open] == '}' || close == std::string::npos) return false;
        const std::string name = pattern.substr(open + 1, close - open - 1);
        bool known = false;
        for (const char* f : kFields)
            known = known || name == f;
        if (!known) return false;
        field(name);
        at = close + 1;
    }
    return true;
}

} // namespace

std::string PatternName(const std::string& pattern, const std::string& input, int n,
                        const std::string& extension) {
    const std::string stem = std::filesystem::path(input).filename().stem().string();
    const std::string ext = !extension.empty() && extension[0] == '.' ? extension.substr(1) : extension;
    std::string name;
    WalkPattern(
        pattern,
        [&](const std::string& f) { name += f == "stem" ? stem : f == "ext" ? ext : std::to_string(n); },
        [&](const std::string& t) { name += t; });
    return name;
}

std::string PatternProblem(const std::string& pattern) {
    if (!WalkPattern(pattern, [](const std::string&) {}, [](const std::string&) {}))
        return "only {stem}, {ext} and {n} may stand in braces";
    if (pattern.empty() || pattern.back() == '/') return "it must name a file";
    return {};
}

namespace {

std::string Quoted(const std::string& s) {
    std::string q = "\"";
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            q += '\\';
            q += c;
        } else if (c == '\n') {
            q += "\\n";
        } else if (u < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", u);
            q += esc;
        } else {
            q += c;
        }
    }
    return q + '"';
}

} // namespace

std::string ReportLine(const TFileReport& r) {
    using S = TFileReport::TStatus;
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.1f", r.Milliseconds);
    std::string line = "{\"input\":" + Quoted(r.Input) + ",\"output\":" + Quoted(r.Output) + ",\"status\":";
    line += r.Status == S::Ok ? "\"ok\"" : r.Status == S::Skipped ? "\"skipped\"" : "\"error\"";
    if (r.Status == S::Error) line += ",\"error\":" + Quoted(r.Error);
    return line + ",\"ms\":" + ms + "}";
}

} // namespace pixora
