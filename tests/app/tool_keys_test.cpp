// One-letter keys choose tools and run the Colours commands, unless a text
// field has the focus and takes the letter; Escape drops what is under way.
#include <QApplication>
#include <QLineEdit>
#include <QTextBrowser>
#include <QToolButton>
#include <gtest/gtest.h>

#include "app/app_fixture.h"
#include "app/pointer_events.h"
#include "app/view_controls.h"
#include "support/input_events.h"
#include "support/pixels.h"
#include "tools/selection.h"
#include "tools/tool_table.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

// The main window shown and active over a new image, the canvas focused.
struct KeysTest : AppTest {
    int slot = -1;
    QWidget* image = nullptr;
    void SetUp() override {
        AppTest::SetUp();
        Start();
        window->show();
        QApplication::setActiveWindow(window.get());
        slot = NewImage();
        ASSERT_GE(slot, 0);
        image = window->View()->Image();
        image->setFocus();
    }
};

} // namespace

TEST_F(KeysTest, LetterKeysChooseToolsUnlessATextFieldHasTheFocus) {
    auto* eraser = window->findChild<QToolButton*>("ToolButton40");
    ASSERT_TRUE(eraser);
    EXPECT_EQ(eraser->toolTip(), "Eraser (E)");

    // W: the selection tool as the magic wand, named in its hint.
    EXPECT_EQ(window->findChild<QToolButton*>("ToolButton29")->toolTip(), "Selection Tool (M), Magic Wand (W)");
    SendKey(image, Qt::Key_W, Qt::NoModifier, "w");
    EXPECT_EQ(Ws().Images[static_cast<std::size_t>(slot)].Tool, ToolSelection);
    EXPECT_EQ(SelectionType(Ws()), SelMagicWand);
    EXPECT_TRUE(Cmd("MagicWandSelection1")->isChecked());

    const struct {
        int Key;
        const char* Text;
        int Tool;
    } keys[] = {{Qt::Key_E, "e", 21}, {Qt::Key_P, "p", 1}, {Qt::Key_M, "m", 15}, {Qt::Key_F, "f", 16}};
    for (const auto& k : keys) {
        SendKey(image, k.Key, Qt::NoModifier, k.Text);
        EXPECT_EQ(Ws().Images[static_cast<std::size_t>(slot)].Tool, k.Tool) << k.Text;
    }

    // The letter goes into a focused text field and chooses nothing.
    auto* field = new QLineEdit(window.get());
    field->show();
    field->setFocus();
    SendKey(field, Qt::Key_E, Qt::NoModifier, "e");
    EXPECT_EQ(Ws().Images[static_cast<std::size_t>(slot)].Tool, 16);
    EXPECT_EQ(field->text(), "e");
}

TEST_F(KeysTest, EscapeDropsTheDragAndCancelsDialogsAndHelp) {
    TImages& s = Ws().Images[static_cast<std::size_t>(slot)];
    EXPECT_EQ(Cmd("CancelToolWork1")->shortcut(), QKeySequence(Qt::Key_Escape));

    // A rectangle dragged and dropped with Escape before its release.
    const Bitmap before = s.Bitmap;
    Cmd("Rectangle1")->trigger();
    Mouse(image, QEvent::MouseButtonPress, QPoint(5, 5));
    Mouse(image, QEvent::MouseMove, QPoint(20, 15));
    SendKey(image, Qt::Key_Escape);
    Mouse(image, QEvent::MouseButtonRelease, QPoint(25, 20));
    EXPECT_TRUE(SamePixels(s.Bitmap, before));
    EXPECT_EQ(s.HistoryCount, 0);

    // Escape in a dialog is its Cancel, even when its last answer was OK.
    auto newLayer = [this](std::function<void(QWidget*)> act) {
        WhenModal(std::move(act));
        Cmd("NewLayer1")->trigger();
    };
    newLayer([](QWidget* d) { Click(d, "Button1"); });
    ASSERT_EQ(s.LayerCount, 2);
    newLayer([](QWidget* d) { SendKey(d->focusWidget() ? d->focusWidget() : d, Qt::Key_Escape); });
    EXPECT_EQ(s.LayerCount, 2) << "Escape adds no layer";

    // The help window closes with Escape.
    WriteFile(Path("bin/res/help.html"), "<html><body><h1>Help</h1></body></html>");
    window->OnOpenDesktopPage = [](const QUrl&) { return false; };
    Cmd("HelpContents1")->trigger();
    auto* help = window->findChild<QWidget*>("HelpWindow");
    ASSERT_TRUE(help && help->isVisible());
    QApplication::setActiveWindow(help);
    SendKey(help->findChild<QTextBrowser*>("HelpBrowser"), Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
}
