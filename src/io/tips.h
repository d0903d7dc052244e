#pragma once
// The preference file and the tips: whether the tips greet the user at
// start-up, which tip was shown last, and the eleven tips themselves. The
// tips window reads its state with OpenTips, shows TipLines, calls
// NextTip for "Next Tip" and hands its state to CloseTips however it is
// closed.

#include <array>
#include <string>

#include "doc/workspace.h"

namespace pixora {

inline constexpr int kTipCount = 11;
inline constexpr const char* kPrefShowTips = "showtips";
inline constexpr const char* kPrefTipId = "tipid";

// Up to three lines; an empty line leaves its label empty.
struct TTipLines {
    const char* Line1;
    const char* Line2;
    const char* Line3;
};

// Tip n (1..11); any other number gives tip 1.
const TTipLines& TipLines(int n);

// The number after n: n + 1, or 1 past the last tip. A number that is not
// a tip's (a hand-edited file) also leads to tip 1.
int NextTipNumber(int n);

// "tipid" as written: a decimal integer; empty or anything else is 0.
int ParseTipId(const std::string& text);

// What the tips window shows and writes back.
struct TTipsState {
    int TipNumber = 1;
    bool ShowAtStartup = false; // the "Show Tips at Startup" check box
};

// The preference file's "showtips" is exactly "TRUE".
bool ShowTipsAtStartup(const Workspace& ws);

// Opening the tips window: the check box from "showtips", the tip after the
// one in "tipid". A missing or unreadable file reads as empty values.
TTipsState OpenTips(const Workspace& ws);

// "Next Tip".
void NextTip(TTipsState& state);

// Closing the tips window by any means: "tipid" := the tip number and
// "showtips" := "TRUE" or "FALSE". The settings folder is made when it is
// missing. When the file cannot be written it stays as it was, the window
// port is told "Could not save the preferences." with the reason, and the
// result is false.
bool CloseTips(const Workspace& ws, const TTipsState& state);

} // namespace pixora
