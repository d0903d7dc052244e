// The filter life cycle without windows: previews on the display copy only,
// one named step per commit, and the filter apply operation that copies
// colour bytes through the selection edit test.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "effects/filter_fixture.h"
#include "effects/filter_framework.h"
#include "history/history_store.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

// Inverts all four bytes of the view (the fourth too, as the engine's
// channel sets do), so a commit that copied fourth bytes would show.
bool InvertView(const TFilterRun& run) {
    for (int y = 0; y < run.View.Height(); ++y)
        for (int x = 0; x < run.View.Width() * 4; ++x)
            run.View.Row(y)[x] = static_cast<uint8_t>(255 - run.View.Row(y)[x]);
    return true;
}
// Writes the inverted document into the view, as Blur and Sharpen do.
bool InvertDocumentIntoView(const TFilterRun& run) {
    run.View = run.Document;
    return InvertView(run);
}
bool Refuse(const TFilterRun& run) {
    run.View.Row(0)[0] ^= 1;
    return false;
}
bool Throw(const TFilterRun& run) {
    run.View.Row(0)[0] ^= 1;
    throw std::runtime_error("broken");
}

Bitmap Inverted(const Bitmap& b) {
    Bitmap r = b;
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width() * 4; ++x)
            r.Row(y)[x] = static_cast<uint8_t>(255 - r.Row(y)[x]);
    return r;
}

const TEffectValues kNoValues{};

} // namespace

TEST_F(FilterTest, PreviewsFilterTheDisplayCopyAfreshFromTheDocument) {
    const Bitmap doc = S().Bitmap;
    ASSERT_TRUE(PreviewFilter(ws, &InvertView, false, kNoValues));
    EXPECT_TRUE(SamePixels(ws.DisplayCopy, Inverted(doc)));
    // A second preview starts from the document again, not from the first.
    ASSERT_TRUE(PreviewFilter(ws, &InvertView, false, kNoValues));
    EXPECT_TRUE(SamePixels(ws.DisplayCopy, Inverted(doc)));
    EXPECT_TRUE(SamePixels(S().Bitmap, doc)) << "the document is never filtered";
    EXPECT_EQ(ws.SysData.ScratchRows[3], ws.DisplayCopy.Row(3));
    EXPECT_EQ(port.Calls.back(), "RepaintView");
    EXPECT_EQ(S().HistoryCount, 0);

    // A filter that reads the document writes the view itself.
    ws.DisplayCopy = Bitmap(20, 10, 32);
    ASSERT_TRUE(PreviewFilter(ws, &InvertDocumentIntoView, true, kNoValues));
    EXPECT_TRUE(SamePixels(ws.DisplayCopy, Inverted(doc)));
    EXPECT_EQ(S().Rows[4], S().Bitmap.Row(4));

    // Refused or failing filters leave the view showing the document.
    for (TFilterOperation f : {&Refuse, &Throw}) {
        EXPECT_FALSE(PreviewFilter(ws, f, false, kNoValues));
        EXPECT_TRUE(SamePixels(ws.DisplayCopy, doc));
    }
    // Nothing runs without an image.
    ws.SysData.OpenCount = -1;
    EXPECT_FALSE(PreviewFilter(ws, &InvertView, false, kNoValues));
}

TEST_F(FilterTest, FilterApplyCopiesColourBytesThroughTheEditTestAndClearsSaved) {
    const Bitmap doc = S().Bitmap;
    Bitmap source = Inverted(doc);
    S().Saved = 1;
    FilterApply(ws, source, S().Bitmap);
    EXPECT_TRUE(SameColourBytes(S().Bitmap, source));
    EXPECT_TRUE(SameFourthBytes(S().Bitmap, doc)) << "the alpha plane survives";
    EXPECT_EQ(S().Saved, 0);

    // Into another bitmap: Saved is cleared all the same.
    S().Saved = 1;
    Bitmap other(20, 10, 32);
    FilterApply(ws, source, other);
    EXPECT_TRUE(SameColourBytes(other, source));
    EXPECT_EQ(S().Saved, 0);

    // With a selection (2, 2)-(8, 8) kept for the edit test exactly its 6 x 6
    // pixels take the source's colour bytes, its edges included.
    S().Bitmap = doc;
    FillRowTable(S().Bitmap, S().Rows);
    SelectAndApplyInside();
    FilterApply(ws, source, S().Bitmap);
    Bitmap expected = doc;
    for (int y = 2; y < 8; ++y)
        for (int x = 2; x < 8; ++x)
            std::memcpy(Px(expected, x, y), Px(source, x, y), 3);
    EXPECT_TRUE(SameImage(S().Bitmap, expected));
}

TEST_F(FilterTest, CommitIsOneNamedStepIntoTheDocumentOrNoneIntoTheBrushSource) {
    const Bitmap doc = S().Bitmap;
    ASSERT_TRUE(PreviewFilter(ws, &InvertView, false, kNoValues));
    S().Saved = 1;
    ASSERT_TRUE(CommitFilter(ws, "Posterize", ws.DisplayCopy, false));
    EXPECT_EQ(S().HistoryCount, 1);
    EXPECT_EQ(HistoryMenuTexts(S()).UndoCaption, "Undo Posterize");
    EXPECT_EQ(S().Tool, ToolNone);
    EXPECT_EQ(S().Saved, 0);
    EXPECT_TRUE(SameColourBytes(S().Bitmap, Inverted(doc)));
    EXPECT_TRUE(SameFourthBytes(S().Bitmap, doc));

    // "Use as Brush": the document as it was, so no step and still saved;
    // the filtered colours in the effect brush source and its tool chosen.
    const Bitmap filtered = S().Bitmap;
    S().Saved = 1;
    ASSERT_TRUE(PreviewFilter(ws, &InvertView, false, kNoValues));
    ASSERT_TRUE(CommitFilter(ws, "Noise", ws.DisplayCopy, true));
    EXPECT_EQ(S().HistoryCount, 1);
    EXPECT_EQ(HistoryMenuTexts(S()).UndoCaption, "Undo Posterize");
    EXPECT_EQ(S().Saved, 1);
    EXPECT_TRUE(SamePixels(S().Bitmap, filtered));
    EXPECT_EQ(S().Tool, ToolEffectBrush);
    EXPECT_TRUE(SameColourBytes(ws.EffectBrushSource.Bitmap, Inverted(filtered)));
    EXPECT_EQ(ws.EffectBrushSource.Rows[5], ws.EffectBrushSource.Bitmap.Row(5));
    // The one step undoes to the picture before it.
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, doc));
}

TEST_F(FilterTest, CommittingAnUnchangedPreviewMakesNoStepAndKeepsSaved) {
    const Bitmap doc = S().Bitmap;
    ASSERT_FALSE(PreviewFilter(ws, &Refuse, false, kNoValues));
    S().Saved = 1;
    const int steps = S().HistoryCount;
    ASSERT_TRUE(CommitFilter(ws, "Brightness", ws.DisplayCopy, false));
    EXPECT_TRUE(SamePixels(S().Bitmap, doc));
    EXPECT_EQ(S().HistoryCount, steps);
    EXPECT_EQ(S().Saved, 1);
    // Without an image nothing is committed.
    ws.SysData.OpenCount = -1;
    EXPECT_FALSE(CommitFilter(ws, "Brightness", ws.DisplayCopy, false));
}
