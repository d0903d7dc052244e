#include "effects/effect_arguments.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "effects/effects_table.h"

namespace pixora {

namespace {

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string Joined(std::span<const std::string_view> words, std::string_view between) {
    std::string s;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i) s += between;
        s += words[i];
    }
    return s;
}

// How an argument is written in a synopsis: its name, or its words.
std::string Shown(const TEffectArg& a) {
    return a.Name.empty() ? Joined(a.Words, "|") : std::string(a.Name);
}

// What one argument takes.
std::string Range(const TEffectArg& a) {
    std::string s;
    switch (a.Kind) {
    case TArgKind::Number:
        s = std::to_string(a.Min) + ".." + std::to_string(a.Max);
        if (a.Optional) s += " (default " + std::to_string(a.Default) + ")";
        break;
    case TArgKind::Word:
        s = Joined(a.Words, "|");
        if (a.Optional) s += " (default " + std::string(a.Words[static_cast<std::size_t>(a.Default)]) + ")";
        break;
    case TArgKind::Flag:
        s = "given or left out";
        break;
    case TArgKind::Colour: {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02X%02X%02X", a.Default & 0xFF, (a.Default >> 8) & 0xFF,
                      (a.Default >> 16) & 0xFF);
        s = std::string("six hex digits, red first (default ") + hex + ")";
        break;
    }
    }
    return s;
}

std::vector<std::string_view> SplitArgs(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(
            text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return parts;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads one argument; false with the reason in `why`.
bool ReadArg(const TEffectArg& a, std::string_view text, int& value, std::string& why) {
    const std::string t(text);
    switch (a.Kind) {
    case TArgKind::Number: {
        char* end = nullptr;
        errno = 0;
        const long long v = std::strtoll(t.c_str(), &end, 10);
        if (t.empty() || *end || errno == ERANGE) {
            why = "is not a whole number";
            return false;
        }
        if (v < a.Min || v > a.Max) {
            why = "is out of range";
            return false;
        }
        value = static_cast<int>(v);
        return true;
    }
    case TArgKind::Word:
    case TArgKind::Flag:
        for (std::size_t i = 0; i < a.Words.size(); ++i)
            if (SameWord(text, a.Words[i])) {
                value = a.Kind == TArgKind::Flag ? 1 : static_cast<int>(i);
                return true;
            }
        why = "is not a word it takes";
        return false;
    case TArgKind::Colour: {
        int digits[6];
        bool ok = text.size() == 6;
        for (std::size_t i = 0; ok && i < 6; ++i)
            ok = (digits[i] = HexDigit(text[i])) >= 0;
        if (!ok) {
            why = "is not six hex digits";
            return false;
        }
        value = RGBColour(digits[0] * 16 + digits[1], digits[2] * 16 + digits[3], digits[4] * 16 + digits[5]);
        return true;
    }
    }
    return false;
}

std::size_t RequiredCount(const TEffectRow& row) {
    std::size_t n = 0;
    for (const TEffectArg& a : row.Args)
        if (!a.Optional) ++n;
    return n;
}

} // namespace

TEffectValues DefaultValues(const TEffectRow& row) {
    TEffectValues v{};
    for (std::size_t i = 0; i < row.Args.size() && i < v.size(); ++i)
        v[i] = row.Args[i].Optional ? row.Args[i].Default : 0;
    return v;
}

std::string EffectSynopsis(const TEffectRow& row) {
    std::string s(row.CommandName);
    int open = 0;
    for (std::size_t i = 0; i < row.Args.size(); ++i) {
        const TEffectArg& a = row.Args[i];
        const char* sep = i == 0 ? ":" : ",";
        if (a.Optional) {
            s += "[";
            ++open;
        }
        s += sep;
        s += Shown(a);
    }
    s.append(static_cast<std::size_t>(open), ']');
    return s;
}

std::string EffectArgumentRanges(const TEffectRow& row) {
    std::string s;
    for (const TEffectArg& a : row.Args) {
        if (!s.empty()) s += "; ";
        if (a.Kind == TArgKind::Flag) {
            s += std::string(a.Name) + ": given or left out";
        } else if (a.Kind == TArgKind::Word && a.Name.empty()) {
            s += Range(a);
        } else {
            s += std::string(a.Name) + " " + Range(a);
        }
    }
    return s;
}

bool ParseEffectCall(std::string_view text, std::span<const TEffectRow> rows, TEffectCall& call,
                     std::string& error) {
    const std::size_t colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    const TEffectRow* row = nullptr;
    for (const TEffectRow& r : rows)
        if (!r.CommandName.empty() && r.CommandName == name) row = &r;
    if (!row) {
        error = "unknown effect \"" + std::string(name) + "\" (--help lists the effects)";
        return false;
    }
    const std::string usage = " (" + EffectSynopsis(*row) + ")";
    std::vector<std::string_view> given;
    if (colon != std::string_view::npos) given = SplitArgs(text.substr(colon + 1));
    if (given.size() > row->Args.size()) {
        error = std::string(name) +
                (row->Args.empty() ? " takes no arguments"
                                   : " takes at most " + std::to_string(row->Args.size()) + " arguments") +
                usage;
        return false;
    }
    if (given.size() < RequiredCount(*row)) {
        error = std::string(name) + " needs " + std::to_string(RequiredCount(*row)) + " arguments" + usage;
        return false;
    }
    TEffectValues values = DefaultValues(*row);
    for (std::size_t i = 0; i < given.size(); ++i) {
        const TEffectArg& a = row->Args[i];
        std::string why;
        if (!ReadArg(a, given[i], values[i], why)) {
            error = std::string(name) + ": " + Shown(a) + " \"" + std::string(given[i]) + "\" " + why + "; " +
                    (a.Kind == TArgKind::Flag ? "it takes the word " + std::string(a.Name)
                                              : "it takes " + Range(a)) +
                    usage;
            return false;
        }
    }
    if (row->CheckValues) {
        const std::string why = row->CheckValues(values);
        if (!why.empty()) {
            error = std::string(name) + ": " + why + usage;
            return false;
        }
    }
    call.Row = row;
    call.Values = values;
    return true;
}

std::string FormatEffectCall(const TEffectCall& call) {
    if (!call.Row) return {};
    const TEffectRow& row = *call.Row;
    std::size_t count = row.Args.size();
    while (count > 0 && row.Args[count - 1].Optional && call.Values[count - 1] == row.Args[count - 1].Default)
        --count;
    std::string s(row.CommandName);
    for (std::size_t i = 0; i < count; ++i) {
        const TEffectArg& a = row.Args[i];
        const int v = call.Values[i];
        // A value the parser would refuse (a window's "nothing chosen")
        // cannot be written.
        if ((a.Kind == TArgKind::Number || a.Kind == TArgKind::Word) && (v < a.Min || v > a.Max)) return {};
        s += i == 0 ? ":" : ",";
        switch (a.Kind) {
        case TArgKind::Number:
            s += std::to_string(v);
            break;
        case TArgKind::Word:
            s += a.Words[static_cast<std::size_t>(v)];
            break;
        case TArgKind::Flag:
            // A flag left out in the middle has no way to be written: the
            // arguments after it shift into its place. Flags end their rows.
            if (v) s += a.Words[0];
            break;
        case TArgKind::Colour: {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%02X%02X%02X", v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
            s += hex;
            break;
        }
        }
    }
    return s;
}

std::string EffectListHelp(std::span<const TEffectRow> rows) {
    std::string s;
    for (const TEffectRow& row : rows) {
        if (row.CommandName.empty()) continue;
        std::string line = "  " + EffectSynopsis(row);
        const std::string ranges = EffectArgumentRanges(row);
        std::string about(row.Caption);
        if (row.Kind == TEffectKind::Filter) about += " dialog";
        if (row.Kind == TEffectKind::Quick) about += " (quick effect)";
        if (!ranges.empty()) about += ": " + ranges;
        if (line.size() < 40)
            line.append(40 - line.size(), ' ');
        else
            line += "\n" + std::string(40, ' ');
        s += line + about + "\n";
    }
    return s;
}

} // namespace pixora
