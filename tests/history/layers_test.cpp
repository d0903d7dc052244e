// Layers: storing and loading, choosing, the merge, the strip and its
// clicks, and the layer commands.

#include <cmath>

#include "doc/blend_row.h"
#include "doc/layer_operations.h"
#include "doc/layer_strip.h"
#include "doc/layers.h"
#include "doc/row_ranges.h"
#include "history_fixture.h"
#include "window_kit/command_states.h"

namespace pixora::testing {
namespace {

// The merge rule written out with real numbers.
uint8_t Reference(uint8_t layer, uint8_t below, uint8_t t) {
    const int d = static_cast<int>(std::nearbyint(t / 255.0 * 100.0));
    return static_cast<uint8_t>((100 - d) * layer / 100 + d * below / 100);
}

TEST(LayerBlend, EveryTransparencyFollowsTheRule) {
    Bitmap below = Pattern(256, 3, 4), layer = Pattern(256, 3, 11);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 256; ++x) layer.Row(y)[4 * x + 3] = static_cast<uint8_t>(x);
    Bitmap out = below;
    BlendLayer(out, layer, 0, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 256; ++x) {
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(Px(out, x, y)[c], Reference(Px(layer, x, y)[c], Px(below, x, y)[c], static_cast<uint8_t>(x)))
                    << x << "," << y << " channel " << c;
            ASSERT_EQ(Px(out, x, y)[3], Px(below, x, y)[3]) << "the fourth byte stays the background's";
        }
}

TEST(LayerBlend, WorkedValues) {
    // d = round(t / 255 x 100): t 128 -> 50, 64 -> 25, 191 -> 75, 1 -> 0,
    // 254 -> 100. Layer 200 over 100 at d 50: 100 + 50 = 150; layer 201
    // over 57 at d 25: 15075 div 100 + 1425 div 100 = 150 + 14 = 164; at
    // d 75: 5025 div 100 + 4275 div 100 = 50 + 42 = 92.
    struct Case {
        uint8_t Layer, Below, T, Want;
    };
    const Case cases[] = {{200, 100, 128, 150}, {201, 57, 64, 164}, {201, 57, 191, 92},
                          {201, 57, 1, 201},    {201, 57, 254, 57}, {201, 57, 0, 201}};
    Bitmap below(6, 1), layer(6, 1);
    for (int x = 0; x < 6; ++x) {
        uint8_t* b = below.Row(0) + 4 * x;
        uint8_t* l = layer.Row(0) + 4 * x;
        b[0] = b[1] = b[2] = cases[x].Below;
        b[3] = 33;
        l[0] = l[1] = l[2] = cases[x].Layer;
        l[3] = cases[x].T;
    }
    BlendLayer(below, layer, 0, 0);
    for (int x = 0; x < 6; ++x) {
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(Px(below, x, 0)[c], cases[x].Want) << "t " << int(cases[x].T);
        EXPECT_EQ(Px(below, x, 0)[3], 33);
    }
}

// Every kernel against the rule, for every transparency, layer value and
// value below, and for groups that are all clear, all opaque or mixed, at
// row lengths and offsets that leave tails for the narrower kernels.
TEST(LayerBlend, EveryKernelGivesTheRuleExactly) {
    const std::vector<TBlendKernel> kernels = AvailableBlendKernels();
    ASSERT_EQ(kernels.front(), TBlendKernel::Plain);
    // Row t holds 256 x 256 pixels: layer value l, value below b, for
    // transparency t; the fourth byte below is b ^ 0x5A.
    const int n = 256 * 256;
    std::vector<uint8_t> layer(4 * static_cast<std::size_t>(n)), below(layer.size()), out(layer.size());
    for (int t = 0; t < 256; ++t) {
        for (int i = 0; i < n; ++i) {
            const uint8_t l = static_cast<uint8_t>(i >> 8), b = static_cast<uint8_t>(i);
            uint8_t* lp = &layer[4 * static_cast<std::size_t>(i)];
            uint8_t* bp = &below[4 * static_cast<std::size_t>(i)];
            lp[0] = l, lp[1] = static_cast<uint8_t>(255 - l), lp[2] = static_cast<uint8_t>(l * 7), lp[3] = static_cast<uint8_t>(t);
            bp[0] = b, bp[1] = static_cast<uint8_t>(b * 3), bp[2] = static_cast<uint8_t>(255 - b), bp[3] = b ^ 0x5A;
        }
        for (TBlendKernel k : kernels) {
            out = below;
            BlendLayerRowWith(k, out.data(), layer.data(), n);
            for (int i = 0; i < n; ++i) {
                const std::size_t o = 4 * static_cast<std::size_t>(i);
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(out[o + c], Reference(layer[o + c], below[o + c], static_cast<uint8_t>(t)))
                        << "kernel " << static_cast<int>(k) << " t " << t << " pixel " << i << " channel " << c;
                ASSERT_EQ(out[o + 3], below[o + 3]) << "kernel " << static_cast<int>(k);
            }
        }
    }
}

TEST(LayerBlend, KernelsAgreeOnMixedGroupsTailsAndOffsets) {
    // Runs of clear, opaque and mixed pixels of every length up to 70, so
    // that groups are sometimes uniform and sometimes not.
    const int n = 3000;
    Bitmap layer = Pattern(n, 1, 3), below = Pattern(n, 1, 8);
    uint8_t* lp = layer.Row(0);
    for (int i = 0, run = 1; i < n; run = run % 70 + 1) {
        const int kind = (i / 7) % 3;
        for (int j = 0; j < run && i < n; ++j, ++i) lp[4 * i + 3] = kind == 0 ? 255 : kind == 1 ? 0 : lp[4 * i + 3];
    }
    const std::vector<TBlendKernel> kernels = AvailableBlendKernels();
    for (int offset : {0, 1, 3, 17}) {
        for (int length : {0, 1, 3, 4, 15, 16, 31, 63, 64, 65, 129, 1000, n - offset}) {
            if (offset + length > n) continue;
            Bitmap want = below;
            BlendLayerRowWith(TBlendKernel::Plain, want.Row(0) + 4 * offset, layer.Row(0) + 4 * offset, length);
            for (TBlendKernel k : kernels) {
                Bitmap got = below;
                BlendLayerRowWith(k, got.Row(0) + 4 * offset, layer.Row(0) + 4 * offset, length);
                ASSERT_TRUE(SamePixels(got, want)) << "kernel " << static_cast<int>(k) << " offset " << offset
                                                   << " length " << length;
            }
        }
    }
}

// The merge as the program runs it (threads, the widest kernel), on one
// band with the plain kernel and on two bands with it: the same bytes,
// and those of the rule, whatever the machine offers.
TEST(LayerBlend, MergeGivesTheRuleOnOneBandOrTwoWithAnyKernel) {
    TImages s;
    s.BackBitmap = Pattern(700, 500, 2); // large enough to be split
    s.LayerCount = 3;
    s.Layer(2).Bitmap = Pattern(650, 480, 5);
    s.Layer(2).Left = 30;
    s.Layer(2).Top = -7;
    s.Layer(3).Bitmap = Pattern(300, 300, 9);
    s.Layer(3).Left = -20;
    s.Layer(3).Top = 150;
    Bitmap want = s.BackBitmap;
    for (int n = 2; n <= 3; ++n) {
        const TLayer& l = s.Layer(n);
        for (int y = 0; y < l.Bitmap.Height(); ++y)
            for (int x = 0; x < l.Bitmap.Width(); ++x) {
                const int dx = x + l.Left, dy = y + l.Top;
                if (dx < 0 || dy < 0 || dx >= want.Width() || dy >= want.Height()) continue;
                uint8_t* d = want.Row(dy) + 4 * dx;
                const uint8_t* p = Px(l.Bitmap, x, y);
                for (int c = 0; c < 3; ++c)
                    d[c] = Reference(p[c], d[c], p[3]);
            }
    }
    MergeLayers(s);
    EXPECT_TRUE(SamePixels(s.Bitmap, want)) << "as the machine runs it";
    for (int bands : {1, 2}) {
        TRowBandsOverride held(bands);
        TVectorKernelOverride plain(TVectorKernel::Plain);
        s.Bitmap = Bitmap();
        MergeLayers(s);
        EXPECT_TRUE(SamePixels(s.Bitmap, want)) << bands << " band(s), plain kernel";
    }
}

TEST(LayerBlend, OnlyTheOverlapIsTouched) {
    Bitmap back(100, 100, 32);
    back.Fill(1, 2, 3, 40);
    Bitmap layer(20, 20, 32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            uint8_t* p = layer.Row(y) + 4 * x;
            p[0] = static_cast<uint8_t>(x), p[1] = static_cast<uint8_t>(y), p[2] = 200, p[3] = 0;
        }
    Bitmap out = back;
    BlendLayer(out, layer, -10, -10);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const uint8_t* p = Px(out, x, y);
            if (x < 10 && y < 10) {
                ASSERT_EQ(p[0], x + 10) << "bottom-right quarter of the layer";
                ASSERT_EQ(p[1], y + 10);
                ASSERT_EQ(p[2], 200);
            } else {
                ASSERT_TRUE(p[0] == 1 && p[1] == 2 && p[2] == 3) << x << "," << y;
            }
            ASSERT_EQ(p[3], 40);
        }
    // Wholly outside on any side: nothing changes.
    for (auto [l, t] : {std::pair{100, 0}, {0, 100}, {-20, 5}, {5, -20}, {2147483600, 0}}) {
        Bitmap again = back;
        BlendLayer(again, layer, l, t);
        EXPECT_TRUE(SamePixels(again, back)) << l << "," << t;
    }
}

struct LayerTest : WorkspaceTest {
    int slot = -1;
    void SetUp() override {
        WorkspaceTest::SetUp();
        slot = Open(Pattern(100, 100, 2));
    }
    TImages& S() { return Slot(slot); }
    void AddLayer(int w, int h, int left, int top, int t, uint8_t grey = 255) {
        ASSERT_TRUE(NewLayer(ws, {w, h, left, top, t}));
        if (grey != 255) {
            S().Bitmap.FillColour(RGBColour(grey, grey, grey));
        }
    }
};

TEST_F(LayerTest, NewLayerIsWhiteOnTopAndCurrent) {
    int shown = 0;
    S().ZoomNum = 4;
    ASSERT_TRUE(NewLayer(ws, {30, 20, 5, -3, 77}, [&] { ++shown; }));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(S().LayerCount, 2);
    EXPECT_EQ(S().CurrentLayer, 2);
    EXPECT_EQ(S().ZoomNum, 1);
    EXPECT_EQ(S().Layers[2].Left, 5);
    EXPECT_EQ(S().Layers[2].Top, -3);
    ASSERT_EQ(S().Bitmap.Width(), 30);
    ASSERT_EQ(S().Bitmap.Height(), 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const uint8_t* p = Px(S().Bitmap, x, y);
            ASSERT_TRUE(p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 77);
        }
    EXPECT_EQ(S().Rows.Count(), 20);
    // The background's storage got its pixels when it was left.
    EXPECT_TRUE(SamePixels(S().BackBitmap, Pattern(100, 100, 2)));
    EXPECT_TRUE(CommandEnabled(ws, CommandRule::EditLayer));
}

TEST_F(LayerTest, ChoosingStoresTheEditedLayerAndLoadsTheOther) {
    AddLayer(10, 10, 0, 0, 0);
    S().Bitmap.Fill(9, 9, 9, 9);  // edit layer 2
    port.Calls.clear();
    ChooseLayer(ws, 1);
    EXPECT_EQ(port.Calls.front(), "EndSelection");
    EXPECT_NE(std::find(port.Calls.begin(), port.Calls.end(), "TabChange"), port.Calls.end());
    EXPECT_TRUE(SamePixels(S().Bitmap, Pattern(100, 100, 2)));
    EXPECT_EQ(S().Rows[99], S().Bitmap.Row(99));
    EXPECT_EQ(Px(S().Layers[2].Bitmap, 3, 3)[3], 9);
    EXPECT_EQ(S().Layers[2].Rows[0], S().Layers[2].Bitmap.Row(0));
    ChooseLayer(ws, 2);
    EXPECT_EQ(Px(S().Bitmap, 3, 3)[0], 9);
    ChooseLayer(ws, 3);  // no such layer
    EXPECT_EQ(S().CurrentLayer, 2);
}

TEST_F(LayerTest, FinalImageWithClearAndOpaqueLayers) {
    AddLayer(100, 100, 0, 0, 255);  // transparent white
    ViewFinalImage(ws);
    EXPECT_EQ(S().CurrentLayer, 0);
    EXPECT_TRUE(SamePixels(S().Bitmap, Pattern(100, 100, 2)));
    EXPECT_FALSE(CommandEnabled(ws, CommandRule::DuplicateLayer));

    ChooseLayer(ws, 1);
    AddLayer(20, 10, 30, 40, 0, 50);  // opaque grey
    ViewFinalImage(ws);
    const Bitmap back = Pattern(100, 100, 2);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const uint8_t* p = Px(S().Bitmap, x, y);
            const bool inside = x >= 30 && x < 50 && y >= 40 && y < 50;
            for (int c = 0; c < 3; ++c) ASSERT_EQ(p[c], inside ? 50 : Px(back, x, y)[c]) << x << "," << y;
            ASSERT_EQ(p[3], Px(back, x, y)[3]);
        }
}

TEST_F(LayerTest, EditsAfterTheFinalImageAreDiscardedByChoosing) {
    AddLayer(10, 10, 0, 0, 0, 7);
    ViewFinalImage(ws);
    S().Bitmap.Fill(0, 0, 0, 0);
    ChooseLayer(ws, 2);
    EXPECT_EQ(Px(S().Bitmap, 0, 0)[0], 7);
    ChooseLayer(ws, 1);
    EXPECT_TRUE(SamePixels(S().Bitmap, Pattern(100, 100, 2)));
}

TEST_F(LayerTest, ComposeHandsOverTheMergeAndReturnsToTheBackground) {
    AddLayer(10, 10, 0, 0, 128, 66);  // half transparent, so a second blend would show
    S().ZoomNum = 3;
    Bitmap written;
    ComposeLayers(ws, slot, [&](const Bitmap& merged) { written = merged; });
    const uint8_t once = Px(written, 0, 0)[1];
    EXPECT_EQ(once, Reference(66, Px(Pattern(100, 100, 2), 0, 0)[1], 128));
    EXPECT_EQ(Px(written, 50, 50)[1], Px(Pattern(100, 100, 2), 50, 50)[1]);
    // Layer 1 is chosen for real: its own pixels, the zoom reset, the
    // highlight on its cell alone, the view laid out again.
    EXPECT_EQ(S().CurrentLayer, 1);
    EXPECT_EQ(S().ZoomNum, 1);
    EXPECT_TRUE(SamePixels(S().Bitmap, Pattern(100, 100, 2)));
    EXPECT_EQ(Px(S().LayerStrip, 1, 1)[0], 0) << "inner outline on layer 1";
    EXPECT_EQ(Px(S().LayerStrip, 67 + 1, 1)[0], 255) << "none on layer 2";
    // Switching layers afterwards stores the background's own pixels, so a
    // second merge counts the upper layer once, as the first did.
    ChooseLayer(ws, 2);
    ChooseLayer(ws, 1);
    ComposeLayers(ws, slot, [&](const Bitmap& merged) { written = merged; });
    EXPECT_EQ(Px(written, 0, 0)[1], once);
    EXPECT_TRUE(SamePixels(S().BackBitmap, Pattern(100, 100, 2)));

    // A failing writer still leaves layer 1 current.
    ChooseLayer(ws, 2);
    EXPECT_THROW(ComposeLayers(ws, slot, [](const Bitmap&) { throw std::runtime_error("disk"); }), std::runtime_error);
    EXPECT_EQ(S().CurrentLayer, 1);
    EXPECT_TRUE(SamePixels(S().Bitmap, Pattern(100, 100, 2)));
}

TEST_F(LayerTest, ComposeOfASingleLayerChangesNothing) {
    S().ZoomNum = 4;
    S().Bitmap.Row(0)[0] = 77;  // edited, not yet stored
    const uint8_t* storage = S().Bitmap.Data();
    port.Calls.clear();
    bool handed = false;
    ComposeLayers(ws, slot, [&](const Bitmap& image) {
        handed = true;
        EXPECT_EQ(&image, &S().Bitmap);
    });
    EXPECT_TRUE(handed);
    EXPECT_EQ(S().ZoomNum, 4);
    EXPECT_EQ(S().Bitmap.Data(), storage);
    EXPECT_EQ(S().Bitmap.Row(0)[0], 77);
    EXPECT_TRUE(port.Calls.empty());
}

TEST_F(LayerTest, ComposeOfASlotInTheBackground) {
    AddLayer(10, 10, 0, 0, 0, 40);
    const int other = Open(Pattern(20, 20, 9));
    Activate(other);
    port.Calls.clear();
    Bitmap written;
    ComposeLayers(ws, slot, [&](const Bitmap& merged) { written = merged; });
    EXPECT_EQ(Px(written, 5, 5)[0], 40);
    EXPECT_EQ(S().CurrentLayer, 1);
    EXPECT_TRUE(SamePixels(S().Bitmap, Pattern(100, 100, 2)));
    EXPECT_TRUE(SamePixels(Slot(other).Bitmap, Pattern(20, 20, 9)));
    EXPECT_EQ(std::count(port.Calls.begin(), port.Calls.end(), "TabChange"), 0) << "the shown image stays";
    EXPECT_EQ(std::count(port.Calls.begin(), port.Calls.end(), "EndSelection"), 0);
}

TEST_F(LayerTest, DeleteRemovesTheTopmostAndChoosesTheBackground) {
    AddLayer(10, 10, 0, 0, 0, 20);
    AddLayer(10, 10, 0, 0, 0, 30);
    ChooseLayer(ws, 2);
    DeleteCurrentLayer(ws);
    EXPECT_EQ(S().LayerCount, 2);
    EXPECT_EQ(S().CurrentLayer, 1);
    EXPECT_TRUE(SamePixels(S().Bitmap, Pattern(100, 100, 2)));
    EXPECT_EQ(Px(S().Layers[2].Bitmap, 0, 0)[0], 20) << "layer 2 stays, layer 3 went";
    EXPECT_EQ(S().LayerStrip.Width(), 2 * kLayerCellPitch);
    // With the background current nothing is deleted.
    DeleteCurrentLayer(ws);
    EXPECT_EQ(S().LayerCount, 2);
}

TEST_F(LayerTest, DuplicateCopiesPixelsAndPosition) {
    AddLayer(12, 8, -4, 6, 0, 90);
    S().Bitmap.Row(1)[0] = 3;
    ASSERT_TRUE(DuplicateCurrentLayer(ws));
    EXPECT_EQ(S().LayerCount, 3);
    EXPECT_EQ(S().CurrentLayer, 3);
    EXPECT_EQ(S().Layers[3].Left, -4);
    EXPECT_EQ(S().Layers[3].Top, 6);
    EXPECT_EQ(S().Bitmap.Row(1)[0], 3);
    EXPECT_TRUE(SamePixels(S().Layers[3].Bitmap, S().Layers[2].Bitmap));
    ChooseLayer(ws, 1);
    ASSERT_TRUE(DuplicateCurrentLayer(ws));
    EXPECT_EQ(S().Layers[4].Left, 0);
    EXPECT_TRUE(SamePixels(S().Bitmap, Pattern(100, 100, 2)));
}

TEST_F(LayerTest, EditKeepsPixelsAndFillsNewAreasTransparentWhite) {
    AddLayer(4, 3, 0, 0, 0, 10);
    S().Bitmap.Row(2)[4 * 3] = 1;
    EditCurrentLayer(ws, 6, 5, -2, 7);
    EXPECT_EQ(S().Layers[2].Left, -2);
    EXPECT_EQ(S().Layers[2].Top, 7);
    ASSERT_EQ(S().Bitmap.Width(), 6);
    ASSERT_EQ(S().Bitmap.Height(), 5);
    EXPECT_EQ(S().Bitmap.Row(2)[4 * 3], 1);
    EXPECT_EQ(Px(S().Bitmap, 0, 0)[1], 10);
    for (auto [x, y] : {std::pair{4, 0}, {5, 4}, {0, 3}}) {
        const uint8_t* p = Px(S().Bitmap, x, y);
        EXPECT_TRUE(p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 255) << x << "," << y;
    }
    EXPECT_TRUE(SamePixels(S().Layers[2].Bitmap, S().Bitmap));
    EditCurrentLayer(ws, 2, 2, 0, 0);
    EXPECT_EQ(S().Bitmap.Width(), 2);
    EXPECT_EQ(S().Bitmap.Row(0)[1], 10);
}

TEST_F(LayerTest, NewImageBackgroundReceivesPixelsWhenFirstStored) {
    const int fresh = ClaimSlot(ws);
    SlotSource src;
    src.CopyToBackground = false;
    FillSlot(ws, fresh, Pattern(8, 8, 6), src);
    AddLayer(4, 4, 0, 0, 255);
    ViewFinalImage(ws);
    EXPECT_TRUE(SamePixels(Slot(fresh).Bitmap, Pattern(8, 8, 6)));
}

// ---- the strip -----------------------------------------------------------------

TEST(LayerThumbnail, Placement) {
    TThumbPlace p = PlaceLayerThumbnail(200, 50);
    EXPECT_EQ(p.Size, (TThumbSize{55, 13}));
    EXPECT_EQ(p.X, 0);
    EXPECT_EQ(p.Y, 21);
    p = PlaceLayerThumbnail(20, 10);  // small layers keep their size, centred on 27
    EXPECT_EQ(p.Size, (TThumbSize{20, 10}));
    EXPECT_EQ(p.X, 17);
    EXPECT_EQ(p.Y, 22);
    p = PlaceLayerThumbnail(50, 200);
    EXPECT_EQ(p.Size, (TThumbSize{13, 55}));
    EXPECT_EQ(p.X, 21);
}

TEST_F(LayerTest, StripCellsOutlinesAndThumbnails) {
    // Layer 2: 200 x 50 pure red; layer 3 current.
    AddLayer(200, 50, 0, 0, 0);
    S().Bitmap.FillColour(RGBColour(255, 0, 0));
    AddLayer(10, 10, 0, 0, 0);
    const Bitmap& strip = S().LayerStrip;
    ASSERT_EQ(strip.Width(), 3 * 67);
    ASSERT_EQ(strip.Height(), 57);
    auto rgb = [&](int x, int y) {
        const uint8_t* p = Px(strip, x, y);
        return RGBColour(p[2], p[1], p[0]);
    };
    const int black = 0, white = 0xFFFFFF, red = RGBColour(255, 0, 0);
    const int c = 67;  // cell of layer 2
    EXPECT_EQ(rgb(c, 0), black);
    EXPECT_EQ(rgb(c + 56, 56), black);
    EXPECT_EQ(rgb(c + 57, 10), white) << "gap between cells";
    EXPECT_EQ(rgb(c + 1, 1), white) << "layer 2 is not current: no inner outline";
    // 55 x 13 thumbnail at (1, 22) of the cell.
    EXPECT_EQ(rgb(c + 1, 22), red);
    EXPECT_EQ(rgb(c + 55, 34), red);
    EXPECT_EQ(rgb(c + 1, 21), white);
    EXPECT_EQ(rgb(c + 1, 35), white);
    // Layer 3 is current: second outline one pixel inside the first.
    EXPECT_EQ(rgb(2 * c + 1, 1), black);
    EXPECT_EQ(rgb(2 * c + 55, 55), black);
    EXPECT_EQ(rgb(2 * c + 2, 2), white);

    // Choosing layer 2 moves the highlight.
    ChooseLayer(ws, 2);
    EXPECT_EQ(rgb(c + 1, 1), black);
    EXPECT_EQ(rgb(2 * c + 1, 1), white);
}

TEST_F(LayerTest, CurrentThumbnailFollowsTheLivePixels) {
    AddLayer(10, 10, 0, 0, 0);
    S().Bitmap.FillColour(RGBColour(0, 0, 255));
    RedrawCurrentLayerCell(S());
    const uint8_t* p = Px(S().LayerStrip, 67 + 27, 27);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[2], 0);
}

TEST_F(LayerTest, ClicksOnCellsAndGaps) {
    EXPECT_FALSE(ClickLayerStrip(ws, 10)) << "a single layer ignores clicks";
    AddLayer(10, 10, 0, 0, 0);
    for (int x : {0, 57, 67, 60, 124, 200}) EXPECT_EQ(LayerAtStripX(S(), x), 0) << x;
    EXPECT_EQ(LayerAtStripX(S(), 1), 1);
    EXPECT_EQ(LayerAtStripX(S(), 56), 1);
    EXPECT_EQ(LayerAtStripX(S(), 68), 2);
    EXPECT_EQ(LayerAtStripX(S(), 123), 2);
    EXPECT_FALSE(ClickLayerStrip(ws, 57));
    EXPECT_EQ(S().CurrentLayer, 2);
    EXPECT_TRUE(ClickLayerStrip(ws, 1));
    EXPECT_EQ(S().CurrentLayer, 1);
}

TEST_F(LayerTest, LayerLimit) {
    for (int n = 2; n <= kMaxLayers; ++n) ASSERT_TRUE(NewLayer(ws, {2, 2, 0, 0, 0})) << n;
    EXPECT_EQ(S().LayerCount, kMaxLayers);
    EXPECT_FALSE(NewLayer(ws, {2, 2, 0, 0, 0}));
    EXPECT_FALSE(DuplicateCurrentLayer(ws));
    EXPECT_EQ(S().LayerCount, kMaxLayers);
}

} // namespace
} // namespace pixora::testing
