// Every menu item, pop-up item, tool-bar button and panel button as the
// program starts: object name, caption, shortcut, check state, rule and
// option box, in menu order, against the list taken before the commands
// became tables. Reordering or renaming anything shows here.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "app/app_fixture.h"

using namespace pixora;
using pixora::testing::AppTest;

namespace {

QString ItemLine(const QString& path, const QAction* a) {
    return QString("%1 | %2 | \"%3\" | key=%4 | chk=%5/%6 | rule=%7 box=%8 | vis=%9 | en=%10 | ctx=%11")
        .arg(path, a->objectName(), a->text(), a->shortcut().toString())
        .arg(a->isCheckable())
        .arg(a->isChecked())
        .arg(a->property("rule").toInt())
        .arg(a->property("box").toInt())
        .arg(a->isVisible())
        .arg(a->isEnabled())
        .arg(static_cast<int>(a->shortcutContext()));
}

void Walk(const QMenu* m, const QString& path, QStringList& out) {
    for (QAction* a : m->actions()) {
        if (a->isSeparator()) {
            out << path + " | ----";
        } else if (a->menu()) {
            out << QString("%1 | SUBMENU %2 name=%3").arg(path, a->text(), a->menu()->objectName());
            Walk(a->menu(), path + "/" + a->text(), out);
        } else {
            out << ItemLine(path, a);
        }
    }
}

} // namespace

TEST_F(AppTest, MenusToolBarsAndButtonsAreAsTheyWere) {
    Start();
    QStringList shown;
    for (QAction* a : window->menuBar()->actions()) {
        shown << QString("MENU %1 name=%2").arg(a->text(), a->menu()->objectName());
        Walk(a->menu(), a->text(), shown);
    }
    Walk(window->ImagePopup(), "POPUP", shown);
    auto* bar = window->findChild<QToolBar*>("ToolBar1");
    for (QAction* a : bar->actions()) {
        if (a->isSeparator()) {
            shown << "TB1 | ----";
            continue;
        }
        shown << QString("TB1 | %1 | \"%2\" | tip=%3 | rule=%4 | icon=%5 | status=%6")
                     .arg(a->objectName(), a->text(), a->toolTip())
                     .arg(a->property("rule").toInt())
                     .arg(!a->icon().isNull())
                     .arg(bar->widgetForAction(a)->property("statusText").toString());
    }
    for (QToolButton* b : window->findChildren<QToolButton*>()) {
        const QString parent = b->parentWidget()->objectName();
        if (parent != "ToolBar2" && parent != "ToolBar3" && parent != "ToolBar4") continue;
        shown << QString("BTN %1 | %2 | \"%3\" | tip=%4 | status=%5 | geo=%6,%7,%8,%9")
                     .arg(parent, b->objectName(), b->text(), b->toolTip(),
                          b->property("statusText").toString())
                     .arg(b->x())
                     .arg(b->y())
                     .arg(b->width())
                     .arg(b->height());
    }
    for (const char* name : {"OpenDown", "UndoDown", "RedoDown"})
        Walk(window->findChild<QMenu*>(name), name, shown);

    QFile file(PIXORA_TEST_DATA_DIR "/menu_reference.txt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList expected = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < std::max(expected.size(), shown.size()); ++i) {
        const QString want = i < expected.size() ? expected[i] : QString("(nothing)");
        const QString got = i < shown.size() ? shown[i] : QString("(nothing)");
        ASSERT_EQ(got.toStdString(), want.toStdString()) << "line " << i + 1;
    }
}
