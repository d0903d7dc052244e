// One-letter keys choose tools and run the Colours commands, unless a text
// field has the focus and takes the letter.
#include <QApplication>
#include <QLineEdit>
#include <QToolButton>
#include <gtest/gtest.h>

#include "app/app_fixture.h"
#include "app/view_controls.h"
#include "support/input_events.h"

using namespace pixora;
using namespace pixora::testing;

TEST_F(AppTest, LetterKeysChooseToolsUnlessATextFieldHasTheFocus) {
    Start();
    window->show();
    QApplication::setActiveWindow(window.get());
    const int slot = NewImage();
    ASSERT_GE(slot, 0);
    QWidget* image = window->View()->Image();
    image->setFocus();
    auto* eraser = window->findChild<QToolButton*>("ToolButton40");
    ASSERT_TRUE(eraser);
    EXPECT_EQ(eraser->toolTip(), "Eraser (E)");

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
