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
// embedded PNG). Nothing on any fault.
std::optional<QCursor> DecodeCursorFile(const QByteArray& data);

class CursorSet {
public:
    // Loads 1.cur .. 16.cur from a folder (with trailing '/').
    void Load(const std::string& folder);
    // Cursor number 1..16; anything else is the arrow.
    QCursor Get(int number) const;
    bool Loaded(int number) const { return number >= 1 && number <= 16 && loaded_[number - 1]; }

private:
    std::array<QCursor, 16> cursors_{};
    std::array<bool, 16> loaded_{};
};

} // namespace pixora
