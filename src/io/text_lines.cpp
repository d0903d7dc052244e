#include "io/text_lines.h"

#include "io/codecs/image_codecs.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace pixora {

std::vector<std::string> ReadSmallTextFile(const std::string& file, std::size_t maxBytes) {
    std::error_code ec;
    // Asked before opening: opening a pipe for reading waits for a writer.
    if (!std::filesystem::is_regular_file(file, ec) || ec) return {};
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || size > maxBytes) return {};
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    // The file may have shrunk since its size was taken.
    text.resize(static_cast<std::size_t>(in.gcount()));

    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        begin = end + 1;
    }
    return lines;
}

bool WriteSmallTextFile(const std::string& file, const std::vector<std::string>& lines, std::string* error) {
    std::string text;
    for (const std::string& l : lines)
        text += l + "\r\n";
    try {
        WriteWholeFile(file, text);
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return false;
    }
    return true;
}

} // namespace pixora
