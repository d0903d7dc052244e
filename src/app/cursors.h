#pragma once
// The sixteen tool cursors, read from bin/res/1.cur .. 16.cur. A cursor
// whose file is missing or unreadable is the standard arrow.

#include <QByteArray>
#include <QCursor>
#include <array>
#include <optional>
#include <string>

namespace pixora {

// Decodes a .cur file (32x32 or other sizes, 32-bit or 1-bit images, or an
// embedded PNG) at the screen's pixel ratio (see ScaleCursor). Nothing on any
// fault.
std::optional<QCursor> DecodeCursorFile(const QByteArray& data, qreal ratio = 1);

// A cursor for screens of `ratio` device pixels per pixel: the picture is
// enlarged by the nearest whole factor pixel for pixel, so that its edges
// stay sharp, and keeps its size on screen. X11 takes the hotspot in the
// enlarged picture's pixels, other window systems in the cursor's own.
QCursor ScaleCursor(const QImage& picture, QPoint hotSpot, qreal ratio, bool hotSpotInDevicePixels);

class CursorSet {
public:
    // Loads 1.cur .. 16.cur from a folder (with trailing '/') for screens of
    // `ratio` (by default the highest ratio of the screens there are).
    void Load(const std::string& folder, qreal ratio = 0);
    // Cursor number 1..16; anything else is the arrow.
    QCursor Get(int number) const;
    bool Loaded(int number) const { return number >= 1 && number <= 16 && loaded_[number - 1]; }

private:
    std::array<QCursor, 16> cursors_{};
    std::array<bool, 16> loaded_{};
};

} // namespace pixora
