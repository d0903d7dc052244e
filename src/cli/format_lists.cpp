// Build-time helper: copies a template, replacing its [[FORMAT_...]] markers
// by the lists of formats made from the format table (io/format_documents.h).
//   pixora-format-lists TEMPLATE OUTPUT

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "io/format_documents.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pixora-format-lists TEMPLATE OUTPUT\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "pixora-format-lists: cannot read %s\n", argv[1]);
        return 1;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    if (!pixora::FillFormatMarkers(text, pixora::Formats(), error)) {
        std::fprintf(stderr, "pixora-format-lists: %s: unknown marker %s\n", argv[1], error.c_str());
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "pixora-format-lists: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
