#include <gtest/gtest.h>

#include <QFile>

#include "app/cursors.h"

using namespace pixora;

namespace {
// A 32x32 32-bit cursor file with the hotspot at (hx, hy).
QByteArray MakeCursor(int hx, int hy) {
    QByteArray d;
    auto u16 = [&](int v) { d.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    auto u32 = [&](uint32_t v) { u16(int(v & 0xFFFF)), u16(int(v >> 16)); };
    const int xorBytes = 32 * 32 * 4, andBytes = 32 * 4;
    u16(0), u16(2), u16(1);
    d.append(char(32)).append(char(32)).append(char(0)).append(char(0));
    u16(hx), u16(hy);
    u32(40 + xorBytes + andBytes), u32(22);
    u32(40), u32(32), u32(64), u16(1), u16(32), u32(0), u32(xorBytes + andBytes), u32(0), u32(0), u32(0),
        u32(0);
    for (int i = 0; i < 32 * 32; ++i)
        d.append(char(0)).append(char(0)).append(char(0)).append(char(0xFF));
    d.append(QByteArray(andBytes, 0));
    return d;
}
} // namespace

TEST(Cursors, DecodesHotspotAndRejectsDamagedFiles) {
    const QByteArray good = MakeCursor(3, 29);
    const auto c = DecodeCursorFile(good);
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->hotSpot(), QPoint(3, 29));
    EXPECT_FALSE(DecodeCursorFile(good.left(60)).has_value());
    EXPECT_FALSE(DecodeCursorFile(MakeCursor(40, 1)).has_value());
    EXPECT_FALSE(DecodeCursorFile(QByteArray("not a cursor at all, not even close")).has_value());
}

TEST(Cursors, TheShippedCursorsAllLoad) {
    CursorSet set;
    set.Load(std::string(PIXORA_SOURCE_DIR) + "/data/bin/res/");
    for (int i = 1; i <= 16; ++i)
        EXPECT_TRUE(set.Loaded(i)) << i;
    EXPECT_EQ(set.Get(0).shape(), Qt::ArrowCursor);
}

TEST(Cursors, HighDensityScreensGetSharpCursorsOfTheSameSize) {
    QImage picture(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            picture.setPixel(x, y, qRgba(x * 8, y * 8, (x ^ y) & 1 ? 255 : 0, 255));
    for (bool x11 : {false, true}) {
        const QCursor c = ScaleCursor(picture, QPoint(1, 30), 2.0, x11);
        const QImage big = c.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(big.size(), QSize(64, 64));
        EXPECT_EQ(c.pixmap().devicePixelRatio(), 2.0);
        EXPECT_EQ(c.hotSpot(), x11 ? QPoint(3, 61) : QPoint(1, 30));
        // Every picture pixel became a 2x2 block of exactly its colour.
        bool exact = true;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                exact = exact && big.pixel(x, y) == picture.pixel(x / 2, y / 2);
        EXPECT_TRUE(exact) << (x11 ? "x11" : "other");
    }
    // Ratios round to the nearest whole factor; 1 leaves the picture alone.
    EXPECT_EQ(ScaleCursor(picture, QPoint(0, 0), 1.25, true).pixmap().size(), QSize(32, 32));
    EXPECT_EQ(ScaleCursor(picture, QPoint(0, 0), 1.5, true).pixmap().size(), QSize(64, 64));
    EXPECT_EQ(ScaleCursor(picture, QPoint(0, 0), 3.0, false).pixmap().size(), QSize(96, 96));
    CursorSet set;
    set.Load(std::string(PIXORA_SOURCE_DIR) + "/data/bin/res/", 2.0);
    EXPECT_EQ(set.Get(1).pixmap().size(), QSize(64, 64));
}
