// The canvas and the status bar following the image in the running main
// window: the picture under modal dialogs and after any exposure, the size
// panel through the commands that replace the bitmap, the read-out with no
// image, Select All's outline, and help without a browser.
#include <QDialog>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>

#include "app/app_fixture.h"
#include "app/status_bar.h"
#include "app/view_controls.h"
#include "support/pixels.h"
#include "support/input_events.h"
#include "tools/tool_table.h"
#include "window_kit/message_dialog.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

struct CanvasTest : AppTest {
    void SetUp() override {
        AppTest::SetUp();
        Start();
        window->show();
    }
    ViewControls* View() { return window->View(); }
    StatusBarWidget* Status() { return window->Status(); }
    TImages& Active() { return Ws().Images[static_cast<std::size_t>(Ws().ActiveSlot())]; }
    // A w x h image of one colour, or of a pattern that tells every pixel
    // from its neighbours.
    int Coloured(int w, int h, QRgb c) {
        Bitmap b(w, h);
        b.Fill(static_cast<uint8_t>(qBlue(c)), static_cast<uint8_t>(qGreen(c)), static_cast<uint8_t>(qRed(c)),
               0);
        const int slot = ClaimSlot(Ws());
        FillSlot(Ws(), slot, std::move(b), SlotSource{});
        return slot;
    }
    int Pattern(int w, int h) {
        Bitmap b(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint8_t* p = b.Row(y) + x * 4;
                p[0] = static_cast<uint8_t>(x * 7);
                p[1] = static_cast<uint8_t>(y * 5);
                p[2] = static_cast<uint8_t>((x + y) * 3);
                p[3] = 0;
            }
        const int slot = ClaimSlot(Ws());
        FillSlot(Ws(), slot, std::move(b), SlotSource{});
        return slot;
    }
    QString SizePanel() { return Status()->PanelText(1); }
    void DragOnImage(QPoint from, QPoint to) {
        QWidget* image = View()->Image();
        SendMouse(image, QEvent::MouseButtonPress, from);
        SendMouse(image, QEvent::MouseMove, to, Qt::NoButton);
        SendMouse(image, QEvent::MouseButtonRelease, to);
    }
};

// Counts the pixels of `shot` that are `c`.
int CountOf(const QImage& shot, QRgb c) {
    int n = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            n += shot.pixel(x, y) == c;
    return n;
}

} // namespace

TEST_F(CanvasTest, AModalDialogOverTheCanvasLeavesTheImageShown) {
    const QRgb teal = qRgb(0, 128, 128);
    Coloured(300, 200, teal);
    QWidget* image = View()->Image();
    QWidget* page = window->Pages()->currentWidget();
    const QRect onPage(image->mapTo(page, QPoint(0, 0)), image->size());
    const int all = image->width() * image->height();
    // The page painted afresh onto a surface with alpha, as a compositor
    // has it when it dims the window behind a dialog: the canvas shows the
    // image, opaque.
    auto shownOnPage = [&] { return CountOf(page->grab().toImage().copy(onPage), teal); };
    ASSERT_EQ(shownOnPage(), all);
    int shownUnder = -1;
    bool wasModal = false;
    WhenModal([&](QWidget* dialog) {
        wasModal = dialog->isModal() && dialog->isVisible();
        shownUnder = shownOnPage();
        dialog->findChild<QPushButton*>("Button1")->click();
    });
    window->ReportError(2, "broken file");
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(shownUnder, all);
    EXPECT_EQ(shownOnPage(), all);
}

TEST_F(CanvasTest, AnyExposedPartRepaintsFromTheDisplayCopyAtEveryZoom) {
    Pattern(240, 180);
    QWidget* image = View()->Image();
    for (const char* zoom : {"1:1 (100%)", "2:1 (200%)", "1:2 (50%)"}) {
        for (QAction* a : window->findChildren<QAction*>())
            if (a->text() == zoom && a->objectName().endsWith("01")) a->trigger();
        const QImage whole = image->grab().toImage();
        // Parts as a window moved away would uncover them, odd edges included.
        for (const QRect part :
             {QRect(0, 0, 17, 13), QRect(31, 7, 45, 29), QRect(image->width() - 9, 3, 9, 50)}) {
            // Start the part from nothing, then let the widget paint it.
            QImage shot(part.size(), QImage::Format_RGB32);
            shot.fill(Qt::white);
            {
                QPainter p(&shot);
                image->render(&p, QPoint(), QRegion(part));
            }
            int wrong = 0;
            for (int y = 0; y < part.height(); ++y)
                for (int x = 0; x < part.width(); ++x)
                    wrong += shot.pixel(x, y) != whole.pixel(part.left() + x, part.top() + y);
            EXPECT_EQ(wrong, 0) << zoom << " part at " << part.x() << "," << part.y();
        }
    }
}

TEST_F(CanvasTest, SizePanelFollowsCropUndoRedoTabsAndClose) {
    Coloured(120, 80, qRgb(200, 200, 200));
    EXPECT_EQ(SizePanel(), "120 x 80");
    // A crop drawn on the canvas and applied by a double click.
    Cmd("Crop1")->trigger();
    DragOnImage({10, 20}, {90, 70});
    SendMouse(View()->Image(), QEvent::MouseButtonDblClick, {50, 50});
    ASSERT_EQ(Active().Bitmap.Width(), 80);
    EXPECT_EQ(SizePanel(), "80 x 50");
    Cmd("Undo1")->trigger();
    EXPECT_EQ(SizePanel(), "120 x 80");
    Cmd("Redo1")->trigger();
    EXPECT_EQ(SizePanel(), "80 x 50");

    // Another tab shows its own size, and coming back the cropped one's.
    Coloured(33, 44, qRgb(0, 0, 0));
    EXPECT_EQ(SizePanel(), "33 x 44");
    window->Pages()->setCurrentIndex(0);
    EXPECT_EQ(SizePanel(), "80 x 50");

    // The pointer read-out empties once no image is left.
    SendMouse(View()->Image(), QEvent::MouseMove, {3, 4}, Qt::NoButton);
    EXPECT_TRUE(Status()->PanelText(0).startsWith("x, y = [3,4]"));
    for (int slot : {0, 1})
        Ws().Images[static_cast<std::size_t>(slot)].Saved = 1;
    Cmd("CloseAll1")->trigger();
    EXPECT_EQ(Ws().SysData.OpenCount, -1);
    EXPECT_EQ(SizePanel(), "0 x 0");
    EXPECT_EQ(Status()->PanelText(0), "");
}

TEST_F(CanvasTest, SelectAllShowsItsOutlineOnTheView) {
    const QRgb white = qRgb(255, 255, 255);
    Coloured(40, 30, white);
    Cmd("SelectAll1")->trigger();
    ASSERT_EQ(Active().Tool, ToolSelection);
    // The dotted frame round the whole image: every other edge pixel
    // inverted, on the view only.
    const QImage shot = View()->Image()->grab().toImage();
    EXPECT_EQ(shot.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(1, 0), white);
    EXPECT_EQ(shot.pixel(2, 0), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(20, 15), white);
    int frame = 0;
    for (int x = 0; x < 40; ++x)
        frame += (shot.pixel(x, 0) != white) + (shot.pixel(x, 29) != white);
    EXPECT_GE(frame, 38);
    EXPECT_EQ(Active().Bitmap.Row(0)[0], 255); // the image itself is untouched
    // Select None takes it away again.
    Cmd("SelectNone1")->trigger();
    EXPECT_EQ(View()->Image()->grab().toImage().pixel(0, 0), white);

    // On an image larger than the view, the frame's right and bottom edges
    // are on screen at the far end of the bars.
    Coloured(2000, 1500, white);
    Cmd("SelectAll1")->trigger();
    View()->ScrollTo(View()->HorzBar()->maximum(), View()->VertBar()->maximum());
    QWidget* page = window->Pages()->currentWidget();
    const QImage pageShot = page->grab().toImage();
    const QRect panel = View()->ScrollPanel()->geometry();
    int right = 0, bottom = 0;
    for (int y = panel.top(); y <= panel.bottom(); ++y)
        right += qRed(pageShot.pixel(panel.right(), y)) == 0;
    for (int x = panel.left(); x <= panel.right(); ++x)
        bottom += qRed(pageShot.pixel(x, panel.bottom())) == 0;
    EXPECT_NEAR(right, panel.height() / 2, 2);
    EXPECT_NEAR(bottom, panel.width() / 2, 2);
}

TEST_F(CanvasTest, HelpOpensInAWindowOfItsOwnWhenTheDesktopHasNoBrowser) {
    WriteFile(Path("bin/res/help.html"),
              "<html><head><title>Pixora Help</title></head><body><h1>Getting around</h1></body></html>");
    std::vector<QString> asked;
    window->OnOpenDesktopPage = [&](const QUrl& page) {
        asked.push_back(page.toLocalFile());
        return true;
    };
    EXPECT_TRUE(window->OpenHelp());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], Path("bin/res/help.html"));
    EXPECT_EQ(window->findChild<QWidget*>("HelpWindow"), nullptr);

    // No program for the page: F1 shows it all the same, once.
    window->OnOpenDesktopPage = [](const QUrl&) { return false; };
    Cmd("HelpContents1")->trigger();
    Cmd("HelpContents1")->trigger();
    const QList<QWidget*> windows = window->findChildren<QWidget*>("HelpWindow");
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows[0]->isVisible());
    EXPECT_TRUE(windows[0]->isWindow());
    auto* browser = windows[0]->findChild<QTextBrowser*>("HelpBrowser");
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains("Getting around"));
    windows[0]->close();
}

TEST_F(CanvasTest, TheBrushOutlineAndTheDragSizeFollowThePointer) {
    const QRgb grey = qRgb(100, 100, 100);
    Coloured(60, 40, grey);
    window->ApplyZoom([](TZoom) { return TZoom{2, 1}; });
    const Bitmap before = Active().Bitmap;
    PictureWidget* image = View()->Image();
    window->findChild<QToolButton*>("ToolButton25")->click(); // the lighten brush
    Ws().Port->SetToolOption(TOpt::BrushSize, 7);

    // Over image pixel (20, 14) the disc of radius 3, twice as large on the
    // view, drawn over the picture only.
    SendMouse(image, QEvent::MouseMove, {41, 29}, Qt::NoButton);
    EXPECT_EQ(image->Outline(), QRect(34, 22, 14, 14));
    EXPECT_TRUE(image->OutlineRound());
    const QImage shot = image->grab().toImage();
    SaveScreenshot(window.get(), "brush-outline");
    EXPECT_NE(shot.pixel(34, 29), grey) << "the outline's left end";
    EXPECT_EQ(shot.pixel(41, 29), grey) << "its inside shows the picture";
    EXPECT_TRUE(SamePixels(Active().Bitmap, before));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(image, &leave);
    EXPECT_TRUE(image->Outline().isEmpty());
    window->findChild<QToolButton*>("ToolButton28")->click(); // the rectangle
    SendMouse(image, QEvent::MouseMove, {41, 29}, Qt::NoButton);
    EXPECT_TRUE(image->Outline().isEmpty()) << "a shape has no stamp";

    // A shape dragged: its size beside the image's, the read-out following.
    SendMouse(image, QEvent::MouseButtonPress, {10, 10});
    SendMouse(image, QEvent::MouseMove, {50, 30}, Qt::NoButton);
    EXPECT_EQ(SizePanel(), "60 x 40    drag 20 x 10");
    EXPECT_TRUE(Status()->PanelText(0).startsWith("x, y = [25,15]")) << Status()->PanelText(0).toStdString();
    SendMouse(image, QEvent::MouseButtonRelease, {50, 30});
    EXPECT_EQ(SizePanel(), "60 x 40");
}
