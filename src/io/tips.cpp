#include "io/tips.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "io/preferences.h"

namespace pixora {

namespace {

// Each line as the tips window has always shown it, spelling included.
const std::array<TTipLines, kTipCount> kTips = {{
    {"You can edit specific parts of an image", "by using the selectiion tool and select",
     "'Edit Only Selection'."},
    {"You can zoom in to an image by a specified degree", "using the Custom Zoom tool.", ""},
    {"All edits to an image can be undone, because", "of the unlimited undo history.", ""},
    {"You can easily scroll large images without", "using the scrollbars. You can use the ",
     "easy scroll feature instead."},
    {"You can replace part of the current image", "with an image in the Undo History by using",
     "History Brush Tool."},
    {"You can edit individual layers and use the", "Layer Sheet to manage your layers and easily",
     "navigate your way through them."},
    {"You can add selected parts of opened images", "to your pattern and brush collection by",
     "creating a selection and archiving it."},
    {"You can turn an image into a black and white", "as well as adjust it's brightness using the",
     "Grayscale Tool."},
    {"If you want to exclude a part of your image", "from being edited then select that area and",
     "and check Menu->Selection->Exclude Selection."},
    {"You can adjust the transparency of an image", "or even just certain parts of an image using",
     "the transparency tools."},
    {"Amoung common image formats only PNGs and GIFs", "support transparency. GIF pixels can only be fully",
     "transparent, PNG pixels can be semi transparent."},
}};

} // namespace

const TTipLines& TipLines(int n) {
    if (n < 1 || n > kTipCount) n = 1;
    return kTips[static_cast<std::size_t>(n - 1)];
}

int NextTipNumber(int n) {
    if (n < 0 || n >= kTipCount) return 1;
    return n + 1;
}

int ParseTipId(const std::string& text) {
    if (text.empty()) return 0;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX) return 0;
    return static_cast<int>(v);
}

bool ShowTipsAtStartup(const Workspace& ws) {
    return ReadPreference(ws, kPrefShowTips) == "TRUE";
}

TTipsState OpenTips(const Workspace& ws) {
    TTipsState state;
    state.ShowAtStartup = ShowTipsAtStartup(ws);
    state.TipNumber = NextTipNumber(ParseTipId(ReadPreference(ws, kPrefTipId)));
    return state;
}

void NextTip(TTipsState& state) {
    state.TipNumber = NextTipNumber(state.TipNumber);
}

bool CloseTips(const Workspace& ws, const TTipsState& state) {
    return WritePreferences(ws, {{kPrefTipId, std::to_string(state.TipNumber)},
                                 {kPrefShowTips, state.ShowAtStartup ? "TRUE" : "FALSE"}});
}

} // namespace pixora
