#pragma once
// The part of the image a pointer event changed, gathered while a tool
// works, so that the view redraws that part only. A tool that does not say
// leaves it unknown, and the whole view is redrawn as before.

#include <algorithm>

#include "doc/records.h"

namespace pixora {

// The box round the segment a..b widened by `margin` on every side (a pen
// of width w reaches at most w + 2 pixels from its line).
inline TRect AroundSegment(TPoint a, TPoint b, int margin) {
    return {std::min(a.X, b.X) - margin, std::min(a.Y, b.Y) - margin, std::max(a.X, b.X) + margin + 1,
            std::max(a.Y, b.Y) + margin + 1};
}

class TChangedArea {
public:
    // Forgets what was gathered: nothing known, nothing changed.
    void Reset() {
        known_ = false;
        box_ = {};
    }
    // The tool tells what it changed; an empty rectangle says "nothing",
    // which is still an answer (no redraw is needed).
    void Add(const TRect& r) {
        const bool empty = r.Right <= r.Left || r.Bottom <= r.Top;
        if (!known_ || Empty()) {
            known_ = true;
            if (!empty) box_ = r;
            return;
        }
        if (empty) return;
        box_ = {std::min(box_.Left, r.Left), std::min(box_.Top, r.Top), std::max(box_.Right, r.Right),
                std::max(box_.Bottom, r.Bottom)};
    }
    // Whether the tool told anything since the last Reset.
    bool Known() const { return known_; }
    bool Empty() const { return box_.Right <= box_.Left || box_.Bottom <= box_.Top; }
    // The bounding box of everything added (left and top included).
    const TRect& Box() const { return box_; }

private:
    bool known_ = false;
    TRect box_{};
};

} // namespace pixora
