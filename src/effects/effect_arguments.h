#pragma once
// An effect's values as a user sets them: the positions of a filter
// dialog's controls, the numbers of a quick effect's options window, the
// choices of a geometry window. The dialog, its preview, "Use as Brush",
// the command line and the tests all hand an effect the same values.
//
// Each effect row lists its arguments (name, kind, range, default) once;
// the command line's parser, its messages and its --help list are made from
// that list, so they always say what the effect takes. An argument that a
// filter window sets also says how the window shows it (its control's
// designer name, kind, caption and positions): the window is built from the
// same list, so its ranges are the command line's.

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace pixora {

struct TEffectRow;

inline constexpr int kMaxEffectValues = 8;
// The values in the order of the row's arguments.
using TEffectValues = std::array<int, kMaxEffectValues>;

enum class TArgKind {
    Number, // a whole number in Min..Max
    Word,   // one of Words, case ignored; the value is its index
    Flag,   // the word Words[0]: 1 when given, 0 when left out
    Colour, // six hex digits RRGGBB; the value is a colour value (red in the low byte)
};

// How a filter window shows an argument.
enum class TControlKind {
    None,         // not in any window
    Own,          // the window shows it its own way (a row of push buttons, say)
    Track,        // a labelled horizontal track bar over Min..Max
    Spin,         // a labelled spin edit over Min..Max
    RadioGroup,   // a titled box of radio buttons captioned Items (ids 0..); -1 = none chosen
    RadioButtons, // a titled box of radio buttons named ItemNames, captioned Items
    Check,        // a check box: 1 when checked (0 when Inverted)
};

// Where a control's value is left alone (Shown, Reset).
inline constexpr int kKeepValue = -0x7FFFFFFF - 1;

struct TArgControl {
    TControlKind Kind = TControlKind::None;
    std::string_view Name{};    // designer name: "R", "tbWidth"
    std::string_view Caption{}; // label of a track or spin, title of a radio box, text of a check box
    int Start = 0;            // the value when the window is made
    int Reset = kKeepValue;   // the value the window's resets put back
    int Shown = kKeepValue;   // the value set each time the window shows
    std::string_view Group{};   // tracks with the same group share a titled box ("Red Channel")
    std::span<const std::string_view> Items{};     // radio captions
    std::span<const std::string_view> ItemNames{}; // RadioButtons: the buttons' designer names
    int Columns = 1;                               // RadioGroup: items run down this many columns
    int PageStep = 0, TickEvery = 0;               // Track: 0 = the window's usual steps
    bool Inverted = false;                         // Check: checked means 0
    bool Leads = false;                            // laid out before the arguments without it
};

struct TEffectArg {
    std::string_view Name; // as the help shows it: "RADIUS", "TYPE"
    TArgKind Kind = TArgKind::Number;
    int Min = 0, Max = 0;                      // Number
    int Default = 0;                           // the value of an optional argument left out
    bool Optional = false;                     // optional arguments follow the required ones
    std::span<const std::string_view> Words{}; // Word and Flag
    TArgControl Control{};                     // how a filter window shows it
};

constexpr TEffectArg NumberArg(std::string_view name, int min, int max) {
    return {name, TArgKind::Number, min, max, 0, false, {}};
}
constexpr TEffectArg OptionalNumber(std::string_view name, int min, int max, int fallback) {
    return {name, TArgKind::Number, min, max, fallback, true, {}};
}
constexpr TEffectArg WordArg(std::string_view name, std::span<const std::string_view> words) {
    return {name, TArgKind::Word, 0, static_cast<int>(words.size()) - 1, 0, false, words};
}
constexpr TEffectArg OptionalWord(std::string_view name, std::span<const std::string_view> words,
                                  int fallback) {
    return {name, TArgKind::Word, 0, static_cast<int>(words.size()) - 1, fallback, true, words};
}
constexpr TEffectArg FlagArg(std::span<const std::string_view> word) {
    return {word[0], TArgKind::Flag, 0, 1, 0, true, word};
}
constexpr TEffectArg OptionalColour(std::string_view name, int fallback) {
    return {name, TArgKind::Colour, 0, 0xFFFFFF, fallback, true, {}};
}

// The argument as a filter window shows it.
constexpr TEffectArg Shown(TEffectArg arg, TArgControl control) {
    arg.Control = control;
    return arg;
}

// An effect with its values, ready to run.
struct TEffectCall {
    const TEffectRow* Row = nullptr;
    TEffectValues Values{};
};

// The values of a row when every optional argument is left out (required
// ones read 0).
TEffectValues DefaultValues(const TEffectRow& row);

// Reads "NAME" or "NAME:ARG,ARG,..." against the rows that have a
// command-line name. On failure returns false and sets `error` to a
// message naming the effect and what it takes.
bool ParseEffectCall(std::string_view text, std::span<const TEffectRow> rows, TEffectCall& call,
                     std::string& error);

// The call as ParseEffectCall reads it back: "NAME:ARG,..." with every
// argument written out, except trailing optional ones left at their default;
// "" when a value is one the parser would refuse.
std::string FormatEffectCall(const TEffectCall& call);

// How a row is written: "pixelization:W,H[,TYPE[,solid]]".
std::string EffectSynopsis(const TEffectRow& row);
// What its arguments take: "W 2..50, H 2..50, TYPE rect|ellipse|...".
std::string EffectArgumentRanges(const TEffectRow& row);
// One line per row with a command-line name: synopsis, caption, ranges.
std::string EffectListHelp(std::span<const TEffectRow> rows);

} // namespace pixora
