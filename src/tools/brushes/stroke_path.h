#pragma once
// Where a stamp tool stamps as the pointer goes from one received position
// to the next: at every pixel of the straight path between them, the first
// left out (it was stamped with the event before) and the last included, as
// if each had been a pointer position of its own. However the window
// system merges the moves of a drag, its stamps are the same. A pointer
// that did not move stamps once where it is.

#include "doc/line_walk.h"
#include "doc/records.h"

namespace pixora {

template <class Stamp> void StampAlong(TPoint from, TPoint to, Stamp&& stamp) {
    bool start = true;
    WalkLine(from.X, from.Y, to.X, to.Y, [&](int x, int y) {
        if (!start) stamp(TPoint{x, y});
        start = false;
    });
    stamp(to);
}

} // namespace pixora
