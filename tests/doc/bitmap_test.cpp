#include <gtest/gtest.h>

#include <new>

#include "doc/bitmap.h"

using namespace pixora;

TEST(Bitmap, RowsArePaddedAndConversionsKeepColour) {
    Bitmap b24(3, 2, 24);
    EXPECT_EQ(b24.Stride(), 12u); // 9 bytes padded to 12
    b24.Row(1)[6] = 10;
    b24.Row(1)[7] = 20;
    b24.Row(1)[8] = 30;
    b24.SetBitsPerPixel(32);
    EXPECT_EQ(b24.Stride(), 12u);
    const uint8_t* p = b24.Row(1) + 8;
    EXPECT_EQ(p[0], 10);
    EXPECT_EQ(p[1], 20);
    EXPECT_EQ(p[2], 30);
    EXPECT_EQ(p[3], 0); // 24 -> 32 sets T to 0
}

TEST(Bitmap, RowTableFollowsTheBitmap) {
    Bitmap b(4, 20000); // taller than any fixed-size table would allow
    TRowTable rows;
    FillRowTable(b, rows);
    ASSERT_EQ(rows.Count(), 20000);
    EXPECT_EQ(rows[19999], b.Row(19999));
    b.SetSize(2, 3);
    FillRowTable(b, rows);
    EXPECT_EQ(rows.Count(), 3);
    EXPECT_EQ(rows[2], b.Row(2));
}

TEST(Bitmap, ColourValuesKeepRedInTheLowByte) {
    Bitmap b(2, 1);
    b.Fill(0, 0, 0, 77);
    b.FillColour(RGBColour(1, 2, 3));
    EXPECT_EQ(b.Row(0)[0], 3);
    EXPECT_EQ(b.Row(0)[1], 2);
    EXPECT_EQ(b.Row(0)[2], 1);
    EXPECT_EQ(b.Row(0)[3], 77);
}

// Storage handed back dirty and taken again (small sizes come from reused
// heap blocks, large ones from fresh pages) still reads as zeros after
// SetSize, and a copy carries every byte.
TEST(Bitmap, NewStorageIsZeroWhateverWasThereBefore) {
    for (const int height : {3, 3000}) {
        {
            Bitmap dirty(1000, height);
            dirty.Fill(0xAB, 0xCD, 0xEF, 0x12);
        }
        Bitmap b(1000, height);
        Bitmap again(7, 7);
        again.Fill(1, 2, 3, 4);
        again.SetSize(1000, height);
        bool zero = true;
        for (int y = 0; y < height; ++y)
            for (std::size_t i = 0; i < b.Stride(); ++i)
                zero = zero && b.Row(y)[i] == 0 && again.Row(y)[i] == 0;
        EXPECT_TRUE(zero) << "height " << height;
        b.Row(height - 1)[3999] = 9;
        const Bitmap copy = b;
        EXPECT_EQ(copy.Row(height - 1)[3999], 9);
        EXPECT_EQ(copy.Row(0)[0], 0);
    }
}

// A size beyond the machine's memory fails as an allocation failure (what
// every caller reports), and the bitmap keeps what it had.
TEST(Bitmap, ASizeBeyondTheMachineFailsAndKeepsTheOldPixels) {
    Bitmap b(3, 2, 32);
    b.Row(1)[4] = 77;
    EXPECT_THROW(b.SetSize(2147483647, 2147483647), std::bad_alloc);
    EXPECT_THROW(Bitmap(2147483647, 2147483647, 32), std::bad_alloc);
    ASSERT_EQ(b.Width(), 3);
    ASSERT_EQ(b.Height(), 2);
    EXPECT_EQ(b.Row(1)[4], 77);
}
