// Every control a screen reader reaches has a name: the main window and
// every window of the window set, walked through the accessibility tree.
#include <QAccessible>
#include <QAccessibleInterface>

#include "app/app_fixture.h"
#include "app/window_set.h"

using namespace pixora;
using pixora::testing::AppTest;

namespace {

// The roles of controls a user acts on or reads a value from.
bool IsControl(QAccessible::Role role) {
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::ScrollBar:
    case QAccessible::ComboBox:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::EditableText:
        return true;
    default:
        return false;
    }
}

// The controls under `iface` with an empty name, as "window/object (role)".
void Unnamed(QAccessibleInterface* iface, const QString& window, QStringList& out, int depth = 0) {
    if (!iface || depth > 40) return;
    if (IsControl(iface->role()) && iface->text(QAccessible::Name).trimmed().isEmpty()) {
        QObject* o = iface->object();
        out << QString("%1/%2 (%3)").arg(window, o ? o->objectName() : "?",
                                         QString::number(static_cast<int>(iface->role()), 16));
    }
    for (int i = 0; i < iface->childCount(); ++i)
        Unnamed(iface->child(i), window, out, depth + 1);
}

} // namespace

TEST_F(AppTest, EveryControlOfEveryWindowHasAnAccessibleName) {
    Start();
    NewImage();
    QStringList unnamed;
    std::vector<QWidget*> windows{window.get()};
    for (QWidget* w : window->Windows().All())
        windows.push_back(w);
    for (QWidget* w : windows)
        Unnamed(QAccessible::queryAccessibleInterface(w), w->objectName(), unnamed);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.size() << ": " << unnamed.join("\n").toStdString();

    // The names are the words beside the controls: a slider's caption, not
    // the marks at its ends; its value box as its value; a tool button its
    // tool's name, not the number on its face; a picture that acts on a
    // click is a button.
    auto read = [this](const char* windowName, const char* control) {
        QWidget* w = windowName ? window->Window(windowName) : window.get();
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w->findChild<QWidget*>(control));
        return iface ? std::pair(iface->text(QAccessible::Name).toStdString(), iface->role())
                     : std::pair(std::string("?"), QAccessible::NoRole);
    };
    EXPECT_EQ(read("TForm44", "TD").first, "Transparency Difference");
    EXPECT_EQ(read("TForm44", "TDValue").first, "Transparency Difference value");
    EXPECT_EQ(read("TForm11", "B").first, "Brightness");
    EXPECT_EQ(read(nullptr, "ToolButton20").first, "Pen");
    EXPECT_EQ(read(nullptr, "Image2"), std::pair(std::string("Exchange FG and BG Colours"), QAccessible::PushButton));
    EXPECT_EQ(read(nullptr, "Shape1").second, QAccessible::PushButton);
}
