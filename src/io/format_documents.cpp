#include "io/format_documents.h"

#include <vector>

namespace pixora {

namespace {

constexpr char kOpen[] = "[[FORMAT_", kClose[] = "]]";

bool Writes(const TFormatTable& formats, const TFormatRow& row) {
    return formats.WriterOf(row.Code) == &row;
}

std::string Html(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Items joined as a sentence lists them: "a, b and c".
std::string Enumerated(const std::vector<std::string>& items) {
    std::string s;
    for (std::size_t i = 0; i < items.size(); ++i)
        s.append(i == 0 ? "" : i + 1 == items.size() ? " and " : ", ").append(items[i]);
    return s;
}

std::string Joined(const std::vector<std::string>& items, const char* between) {
    std::string s;
    for (const std::string& item : items)
        s.append(s.empty() ? "" : between).append(item);
    return s;
}

std::vector<std::string> ReadExtensions(const TFormatRow& row) {
    std::vector<std::string> all = ListItems(row.Extensions);
    for (const std::string& more : ListItems(row.AlsoReads))
        all.push_back(more);
    return all;
}

std::vector<std::string> SavedNames(const TFormatTable& formats, bool bold) {
    std::vector<std::string> names;
    for (const TFormatRow& row : formats.Rows())
        if (Writes(formats, row))
            names.push_back(bold ? std::string("<b>").append(Html(row.Name)).append("</b>") : row.Name);
    return names;
}

std::string MimeTypes(const TFormatTable& formats) {
    std::string s;
    for (const TFormatRow& row : formats.Rows())
        for (const std::string& type : ListItems(row.MimeTypes))
            s.append(type).append(";");
    return s;
}

std::string MediaTypes(const TFormatTable& formats) {
    std::string s;
    for (const TFormatRow& row : formats.Rows())
        for (const std::string& type : ListItems(row.MimeTypes))
            s.append(s.empty() ? "" : "\n    ").append("<mediatype>").append(type).append("</mediatype>");
    return s;
}

// One row of an HTML table.
void AppendRow(std::string& s, const std::string& first, const std::string& second) {
    s.append(s.empty() ? "" : "\n  ").append("<tr><td>").append(first).append("</td><td>").append(second);
    s.append("</td></tr>");
}

std::string HelpOpenRows(const TFormatTable& formats) {
    std::string s;
    for (const TFormatRow& row : formats.Rows())
        if (row.Codec) AppendRow(s, Html(row.Name), Joined(ReadExtensions(row), ", "));
    return s;
}

std::string HelpSaveRows(const TFormatTable& formats) {
    std::string s;
    for (const TFormatRow& row : formats.Rows())
        if (Writes(formats, row))
            AppendRow(s, Joined(ListItems(row.Extensions), ", "),
                      Html(row.SaveHelp ? row.SaveHelp : row.Name));
    return s;
}

std::string ManList(const TFormatTable& formats) {
    std::string s;
    for (const TFormatRow& row : formats.Rows()) {
        const bool writes = Writes(formats, row);
        if (!row.Codec && !writes) continue;
        s.append(s.empty() ? "" : "\n").append(".TP\n.B ").append(row.Name).append("\n");
        if (row.Codec) s.append("Read from ").append(Joined(ReadExtensions(row), " "));
        if (writes)
            s.append(row.Codec ? "; written to " : "Written to ")
                .append(Joined(ListItems(row.Extensions), " "));
        s.append(".");
    }
    return s;
}

std::string SavedNamesText(const TFormatTable& formats) {
    return Enumerated(SavedNames(formats, false));
}

std::string SavedNamesHtml(const TFormatTable& formats) {
    return Enumerated(SavedNames(formats, true));
}

struct TMarker {
    const char* Name;
    std::string (*Text)(const TFormatTable& formats);
};

const TMarker kMarkers[] = {
    {"MIME_TYPES", MimeTypes},
    {"MEDIA_TYPES", MediaTypes},
    {"SAVED_NAMES", SavedNamesText},
    {"SAVED_NAMES_HTML", SavedNamesHtml},
    {"HELP_OPEN_ROWS", HelpOpenRows},
    {"HELP_SAVE_ROWS", HelpSaveRows},
    {"MAN_LIST", ManList},
};

} // namespace

bool FormatListText(const std::string& name, const TFormatTable& formats, std::string& text) {
    for (const TMarker& m : kMarkers)
        if (name == m.Name) {
            text = m.Text(formats);
            return true;
        }
    return false;
}

bool FillFormatMarkers(std::string& text, const TFormatTable& formats, std::string& error) {
    std::string out;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(kOpen, from);
        if (at == std::string::npos) break;
        const std::size_t nameAt = at + sizeof kOpen - 1;
        const std::size_t end = text.find(kClose, nameAt);
        std::string list;
        if (end == std::string::npos || !FormatListText(text.substr(nameAt, end - nameAt), formats, list)) {
            error = text.substr(at, end == std::string::npos ? 40 : end + 2 - at);
            return false;
        }
        out += text.substr(from, at - from) + list;
        from = end + sizeof kClose - 1;
    }
    text = out + text.substr(from);
    return true;
}

} // namespace pixora
