// The painting tools and the Gradient box in the running main window.
#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>

#include "app/app_fixture.h"
#include "app/pointer_events.h"
#include "app/view_controls.h"
#include "doc/checkerboard.h"
#include "doc/display_copy.h"
#include "doc/slots.h"
#include "support/pixels.h"
#include "tools/tool_table.h"
#include "tools/ui/gradient_box.h"
#include "tools/ui/tool_commands.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

struct PaintWindowTest : AppTest {
    TImages& Image() { return Ws().Images[0]; }
    QWidget* Canvas() { return window->View()->Image(); }
    // A fully transparent white image of w x h, with blue and orange as the
    // drawing colours.
    void Open(int w, int h) {
        Start();
        window->show();
        Bitmap b(w, h);
        b.Fill(255, 255, 255, 255);
        const int slot = ClaimSlot(Ws());
        FillSlot(Ws(), slot, std::move(b), SlotSource{});
        SetFGColour(Image(), RGBColour(20, 40, 160));
        SetBGColour(Image(), RGBColour(250, 150, 30));
    }
    GradientBox* Gradient() { return qobject_cast<GradientBox*>(window->Window("TForm41")); }
    template <class T> T* Control(const char* box, const char* name) {
        T* c = window->Window(box)->findChild<T*>(name);
        EXPECT_NE(c, nullptr) << box << " " << name;
        return c;
    }
    // Clicks a tool button; the modal box it opens is closed with its first
    // button.
    void Choose(const char* button) {
        for (const TToolDescription& row : ToolTable())
            if (row.Button == button && row.ModalBox)
                WhenModal([](QWidget* w) {
                    if (auto* ok = w->findChild<QPushButton*>("Button1"))
                        ok->click();
                    else if (auto* d = qobject_cast<QDialog*>(w))
                        d->reject();
                });
        window->findChild<QToolButton*>(button)->click();
    }
};

} // namespace

TEST_F(PaintWindowTest, GradientBoxDrawsItsPreviewsAndChoosesAKindByClick) {
    Open(60, 40);
    SetFGColour(Image(), RGBColour(255, 0, 0));
    SetBGColour(Image(), RGBColour(0, 0, 255));
    GradientBox* box = Gradient();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "Gradient");
    box->show();
    const Bitmap& picture = box->Picture();
    ASSERT_EQ(picture.Width(), 240);
    ASSERT_EQ(picture.Height(), 250); // two rows of previews
    // The radial preview's centre: R = 31 at scale 1, a quarter of the way
    // from the background to the foreground.
    EXPECT_EQ(Px(picture, 59, 59)[2], 61);
    EXPECT_EQ(Px(picture, 59, 59)[0], 193);
    EXPECT_EQ(Px(picture, 6, 60)[0], 0) << "the chosen kind's frame";
    EXPECT_EQ(Px(picture, 126, 60)[0], 255);
    EXPECT_EQ(Px(picture, 129, 60)[0], 0) << "every preview's border";

    // The picture is taller than its panel: the bar scrolls it.
    auto* bar = box->findChild<QScrollBar*>("ScrollBar1");
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->maximum(), 50);
    bar->setValue(30);
    EXPECT_EQ(box->findChild<QWidget*>("Image1")->y(), -30);
    bar->setValue(0);

    QWidget* image = box->findChild<QWidget*>("Image1");
    Mouse(image, QEvent::MouseButtonPress, {180, 60});
    EXPECT_EQ(window->ToolOption(TOpt::GradientKind), 1);
    EXPECT_EQ(Px(picture, 6, 60)[0], 255) << "the old frame is painted over";
    EXPECT_EQ(Px(picture, 126, 60)[0], 0);
    Mouse(image, QEvent::MouseButtonPress, {120, 60}); // between the previews
    EXPECT_EQ(window->ToolOption(TOpt::GradientKind), 1);

    // Every change of a setting redraws the previews.
    box->findChild<QSpinBox*>("depth")->setValue(64);
    EXPECT_EQ(Px(picture, 59, 59)[2], 123); // 31 x 255 div 64
    EXPECT_EQ(window->ToolOption(TOpt::GradientDepth), 64);
    Shot(box, "gradient_box");
    box->findChild<QPushButton*>("Button2")->click();
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(box->Picture().Empty()) << "the picture is freed on close";
}

TEST_F(PaintWindowTest, GradientSettingsReachARectangleDrawnOnTheCanvas) {
    Open(200, 200);
    Choose("ToolButton28");
    ASSERT_EQ(Image().Tool, ToolRectangle);
    Control<QCheckBox>("TForm21", "UG")->setChecked(true);
    Control<QCheckBox>("TForm41", "TBG")->setChecked(false);
    Gradient()->show();
    Mouse(Gradient()->findChild<QWidget*>("Image1"), QEvent::MouseButtonPress, {180, 60}); // the band of rows
    Gradient()->hide();
    DragOn(Canvas(), {50, 10}, {151, 90});
    // The outline's rows 49 - 32 .. 49 + 32 take the gradient, from the
    // background colour at the rim; the others keep the image.
    const Bitmap& b = Image().Bitmap;
    EXPECT_EQ(Px(b, 50, 17)[2], 250);
    EXPECT_EQ(Px(b, 50, 16)[2], 255);
    EXPECT_EQ(Px(b, 50, 81)[2], 250);
    EXPECT_EQ(Px(b, 50, 82)[2], 255);
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo Rectangle");
}

TEST_F(PaintWindowTest, EveryPaintingToolPaintsOnTheCanvas) {
    Open(400, 300);
    for (const char* box : {"TForm3", "TForm21", "TForm22"})
        Control<QSpinBox>(box, "Size")->setValue(3);
    Control<QCheckBox>("TForm21", "Clear")->setChecked(false);
    Control<QSpinBox>("TForm24", "size")->setValue(20);
    Control<QSpinBox>("TForm23", "Size")->setValue(30);
    Control<QSpinBox>("TForm23", "thick")->setValue(16);
    Control<QSpinBox>("TForm44", "SR")->setValue(20);
    Control<QCheckBox>("TForm44", "FV")->setChecked(true);
    window->Window("TForm44")->findChild<QSlider*>("TD")->setValue(200);

    struct TStroke {
        const char* Button;
        int Tool;
        QPoint From, To;
    };
    // Shapes in bands, then the brushes down across them.
    const TStroke strokes[] = {
        {"ToolButton20", ToolPen, {20, 20}, {180, 45}},
        {"ToolButton23", ToolLine, {200, 20}, {380, 45}},
        {"ToolButton26", ToolPolygon, {200, 70}, {290, 95}},
        {"ToolButton28", ToolRectangle, {20, 110}, {120, 160}},
        {"ToolButton30", ToolEllipse, {140, 110}, {240, 160}},
        {"ToolButton32", ToolRoundRect, {260, 110}, {380, 160}},
        {"ToolButton34", ToolSpray, {30, 10}, {30, 290}},
        {"ToolButton36", ToolSoften, {60, 10}, {60, 170}},
        {"ToolButton38", ToolSharpen, {90, 10}, {90, 170}},
        {"ToolButton21", ToolNoise, {120, 10}, {120, 170}},
        {"ToolButton24", ToolClone, {100, 130}, {330, 250}},
        {"ToolButton25", ToolLighten, {150, 10}, {150, 170}},
        {"ToolButton27", ToolDarken, {180, 10}, {180, 170}},
        {"ToolButton35", ToolHistoryBrush, {210, 10}, {210, 290}},
        {"ToolButton37", ToolCustomBrush, {240, 10}, {240, 290}},
        {"ToolButton40", ToolEraser, {270, 10}, {270, 290}},
        {"ToolButton41", ToolTransparency, {330, 10}, {330, 170}},
    };
    // The sources that other windows fill: the history snapshot, the brush
    // library's choice and the filtered copy of "Use as Brush".
    Bitmap brush(15, 15);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 15; ++x)
            Put(brush, x, y, static_cast<uint8_t>(x * 17), 90, static_cast<uint8_t>(y * 17), 0);
    Ws().CustomBrushBitmap.Bitmap = brush;
    Image().CanvasColour = RGBColour(230, 230, 230);
    for (const TStroke& s : strokes) {
        SCOPED_TRACE(s.Button);
        Choose(s.Button);
        ASSERT_EQ(Image().Tool, s.Tool);
        if (s.Tool == ToolHistoryBrush) Ws().StrokeBase.Bitmap = Bitmap(400, 300); // black
        const Bitmap before = Image().Bitmap;
        DragOn(Canvas(), s.From, s.To, 40);
        EXPECT_GT(ChangedPixels(before, Image().Bitmap), 0);
        EXPECT_EQ(Cmd("Undo1")->text().toStdString(),
                  "Undo " + std::string(ToolDescription(s.Tool).StepName));
    }
    // The bezier's three clicks.
    Choose("ToolButton22");
    const Bitmap curveBefore = Image().Bitmap;
    DragOn(Canvas(), {20, 95}, {180, 95});
    DragOn(Canvas(), {60, 60}, {60, 60});
    DragOn(Canvas(), {140, 100}, {140, 100});
    EXPECT_GT(ChangedPixels(curveBefore, Image().Bitmap), 0);
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo Bezier Curve");
    // The effect brush, as "Use as Brush" leaves it.
    Bitmap effect(400, 300);
    effect.Fill(0, 200, 0, 0);
    Ws().EffectBrushSource.Bitmap = effect;
    ASSERT_TRUE(ChooseTool(*window, ToolEffectBrush));
    const Bitmap effectBefore = Image().Bitmap;
    DragOn(Canvas(), {370, 10}, {370, 290}, 40);
    EXPECT_GT(ChangedPixels(effectBefore, Image().Bitmap), 0);
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo Effect Brush");
    window->RefreshView();
    Shot(window.get(), "painted_canvas");
}

TEST_F(PaintWindowTest, TheSelectionOutlineStaysWhileAToolPaintsInsideIt) {
    Open(60, 40);
    Image().Bitmap.Fill(255, 255, 255, 0); // opaque white
    window->RefreshView();
    // The frame's first pixel is inverted on the view, never in the image.
    auto framed = [this] { return Px(Ws().DisplayCopy, 0, 0)[0] == 0 && Px(Image().Bitmap, 0, 0)[0] == 255; };
    Cmd("SelectAll1")->trigger();
    EXPECT_TRUE(framed()) << "Select All shows its frame";
    window->SetToolOption(TOpt::SelectionApplyInside, 1);
    Choose("ToolButton20"); // the pen, confined to the selection
    ASSERT_EQ(Image().Tool, ToolPen);
    ASSERT_EQ(Ws().ToolVars.HasSelection, 1);
    EXPECT_TRUE(framed()) << "the frame stays when the pen is chosen";
    DragOn(Canvas(), {10, 10}, {40, 20});
    EXPECT_NE(Px(Image().Bitmap, 25, 15)[0], 255) << "the pen painted";
    EXPECT_TRUE(framed()) << "and the frame is still there";
}

// Once an edit is stored, a display copy that holds nothing but the image
// blended with the checkerboard is given back, and the view paints the
// image, blending its transparency as it goes; whatever is drawn on the view
// next gets a copy again.
TEST_F(PaintWindowTest, AStoredEditGivesBackADisplayCopyThatShowsOnlyTheImage) {
    Open(60, 40);
    Image().Bitmap.Fill(255, 255, 255, 0); // opaque white
    for (int x = 30; x < 60; ++x)
        for (int y = 0; y < 40; ++y)
            Put(Image().Bitmap, x, y, 255, 200, 100, static_cast<uint8_t>(x * 4 + y)); // transparent half
    window->RefreshView();
    Choose("ToolButton20"); // the pen
    DragOn(Canvas(), {10, 10}, {40, 20});
    QApplication::processEvents();
    ASSERT_NE(Px(Image().Bitmap, 25, 15)[0], 255) << "the pen painted";
    EXPECT_TRUE(Ws().DisplayCopy.Empty());
    EXPECT_EQ(&ShownPicture(Ws()), &Image().Bitmap);
    Bitmap blended;
    MakeDisplayCopy(Image().Bitmap, Ws().Checkerboard.Bitmap, blended, true);
    const QImage shown = Canvas()->grab().toImage();
    ASSERT_GE(shown.width(), 60);
    ASSERT_GE(shown.height(), 40);
    int off = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const uint8_t* b = Px(blended, x, y);
            off += shown.pixelColor(x, y) != QColor(b[2], b[1], b[0]);
        }
    EXPECT_EQ(off, 0) << "the canvas shows what the blended copy holds";

    Cmd("SelectAll1")->trigger();
    ASSERT_FALSE(Ws().DisplayCopy.Empty()) << "the frame is drawn on a copy";
    EXPECT_EQ(Px(Ws().DisplayCopy, 0, 0)[0], 0);
    EXPECT_EQ(Px(Image().Bitmap, 0, 0)[0], 255);
    int inside = 0;
    for (int y = 1; y < 39; ++y)
        for (int x = 1; x < 59; ++x)
            inside += std::memcmp(Px(Ws().DisplayCopy, x, y), Px(blended, x, y), 4) != 0;
    EXPECT_EQ(inside, 0) << "the copy is the blended image within the frame";
    window->SetToolOption(TOpt::SelectionApplyInside, 1); // the frame stays shown while the pen paints
    Choose("ToolButton20");
    DragOn(Canvas(), {10, 30}, {20, 30});
    QApplication::processEvents();
    EXPECT_FALSE(Ws().DisplayCopy.Empty()) << "the selection's frame is still shown";
}

// Records the part of the canvas each paint covers.
class PaintedParts : public QObject {
public:
    QRegion Painted;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) Painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

TEST_F(PaintWindowTest, AStrokeRedrawsOnlyWhatItChangedAndShowsWhatAWholeRedrawWould) {
    Open(400, 300);
    // Stripes of every kind of transparency, so the blend matters everywhere.
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            Put(Image().Bitmap, x, y, static_cast<uint8_t>(x), static_cast<uint8_t>(y), 90,
                static_cast<uint8_t>((x / 7 * 37 + y / 5 * 11) % 256));
    window->RefreshView();
    const auto wholeRedraw = [&] {
        Bitmap whole;
        MakeDisplayCopy(Image().Bitmap, Ws().Checkerboard.Bitmap, whole, true);
        return whole;
    };
    Control<QSpinBox>("TForm23", "Size")->setValue(12);
    Control<QCheckBox>("TForm23", "CT")->setChecked(true);
    Choose("ToolButton34");
    QApplication::processEvents();
    PaintedParts parts;
    Canvas()->installEventFilter(&parts);

    Mouse(Canvas(), QEvent::MouseButtonPress, {40, 40});
    for (int k = 1; k <= 10; ++k) {
        Mouse(Canvas(), QEvent::MouseMove, {40 + 6 * k, 40 + 2 * k});
        QApplication::processEvents();
    }
    // While the button is held: the blend is there, pixel for pixel.
    EXPECT_EQ(ChangedPixels(wholeRedraw(), ShownOnView()), 0);
    Shot(window.get(), "stroke_held_over_transparency");
    // Only around the stroke was anything painted again.
    const QRect painted = parts.Painted.boundingRect();
    EXPECT_FALSE(painted.isEmpty());
    EXPECT_TRUE(QRect(30, 30, 120, 40).contains(painted)) << painted.x() << "," << painted.y() << " "
                                                          << painted.width() << "x" << painted.height();
    Mouse(Canvas(), QEvent::MouseButtonRelease, {100, 60});
    QApplication::processEvents();
    EXPECT_EQ(ChangedPixels(wholeRedraw(), ShownOnView()), 0);

    // Zoomed to 3:1 and 1:2 the view repaints the zoomed stamp's part.
    for (const TZoom z : {TZoom{3, 1}, TZoom{1, 2}}) {
        window->View()->ZoomTo(z, false);
        QApplication::processEvents();
        parts.Painted = QRegion();
        DragOn(Canvas(), {20, 20}, {20, 20}, 1);
        QApplication::processEvents();
        EXPECT_EQ(ChangedPixels(wholeRedraw(), ShownOnView()), 0);
        const QRect zoomed = parts.Painted.boundingRect();
        EXPECT_TRUE(zoomed.contains(QRect(20, 20, 1, 1)));
        EXPECT_LE(zoomed.width(), 6 + 13 * z.Num / z.Den);
    }
    window->View()->ZoomTo({1, 1}, false);

    // A selection over transparent parts: only its dotted frame differs from
    // the blended image.
    Choose("ToolButton29");
    DragOn(Canvas(), {200, 100}, {300, 200}, 10);
    QApplication::processEvents();
    const Bitmap blended = wholeRedraw();
    const Bitmap shownNow = ShownOnView();
    int off = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const bool onFrame = (x >= 199 && x <= 301 && (std::abs(y - 100) <= 1 || std::abs(y - 200) <= 1)) ||
                                 (y >= 99 && y <= 201 && (std::abs(x - 200) <= 1 || std::abs(x - 300) <= 1));
            if (!onFrame && std::memcmp(Px(blended, x, y), Px(shownNow, x, y), 3) != 0) ++off;
        }
    EXPECT_EQ(off, 0);
    Shot(window.get(), "selection_over_transparency");
}


TEST_F(PaintWindowTest, TheMagicWandFindsItsRegionByTheImagesColoursNotTheCheckerboardShown) {
    // One colour, half transparent: the view shows it lighter over the
    // white cells and darker over the grey ones.
    Open(60, 40);
    Image().Bitmap.Fill(40, 90, 160, 128);
    window->RefreshView();
    ASSERT_NE(ShownColour(Ws(), 0, 0)[2], ShownColour(Ws(), 10, 0)[2]);
    Choose("ToolButton29");
    Cmd("MagicWandSelection1")->trigger();
    DragOn(Canvas(), {5, 5}, {5, 5}, 1);
    QApplication::processEvents();
    ASSERT_EQ(Ws().ToolVars.HasSelection, 1);
    // The image is one region across the cells, not the one cell clicked.
    EXPECT_GT(Ws().ToolVars.SelRight - Image().DownX, 50);
    EXPECT_GT(Ws().ToolVars.SelBottom - Image().DownY, 30);
}
