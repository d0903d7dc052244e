// Bad input typed into the windows' number fields: letters, signs alone,
// numbers far out of range and empty fields, then the extremes of every
// field, confirmed with OK. Each field ends within its range, every dialog
// comes back (the few that cannot take an extreme say so), and the image is
// whole afterwards.
//
// The other doors have tests beside their subsystems: the command line
// (tests/cli/command_line_doors_test.cpp), dropped files
// (tests/app/outside_files_window_test.cpp), the preference and recent-file
// files (tests/io/settings_files_test.cpp), the pattern and brush folders
// (tests/tools/library_test.cpp) and the clipboard (tests/tools/clipboard_test.cpp).

#include <QAbstractSpinBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <set>

#include "app/app_fixture.h"
#include "app/view_controls.h"
#include "doc/layer_operations.h"
#include "effects/effects_table.h"
#include "effects/ui/effect_commands.h"
#include "history/history_store.h"
#include "io/new_close_commands.h"
#include "support/input_events.h"
#include "support/no_questions.h"
#include "tools/tool_table.h"
#include "tools/ui/tool_commands.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

const char* const kGarbage[] = {"abc",          "-",   "+",    "",      " ", "99999999999",
                                "-99999999999", "1e9", "0x7f", "12abc", "-0"};

// The commands whose windows hold number fields, each opened modally.
const char* const kDialogCommands[] = {
    "NewImage1",       "NewLayer1",         "EditCurrentLayer1", "CustomZoom1",     "Resize1",
    "RotateandFlip1",  "ColourAdjustment1", "ChannelFilter1",    "ColourTransfer1", "Blur1",
    "Brightness1",     "Contrast1",         "ColourFilter1",     "Noise1",          "Pixelization1",
    "Posterize1",      "RoughBlur1",        "Saturation1",       "Sharpen1",        "Solarize1",
    "SelectFGColour1",
};

std::vector<QAbstractSpinBox*> NumberFields(QWidget* w) {
    std::vector<QAbstractSpinBox*> fields;
    for (QAbstractSpinBox* f : w->findChildren<QAbstractSpinBox*>())
        if (f->isVisibleTo(w) && f->isEnabled() && !f->isReadOnly()) fields.push_back(f);
    return fields;
}

// Selects the field's text and types `text` into it key by key, then
// leaves the field as the user does.
void TypeInto(QAbstractSpinBox* field, const QString& text) {
    QLineEdit* edit = field->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    field->setFocus();
    edit->selectAll();
    SendKey(edit, Qt::Key_Delete);
    for (QChar c : text)
        SendKey(edit, c.unicode(), Qt::NoModifier, QString(c));
    field->interpretText();
    emit field->editingFinished();
}

// The field's value lies within its range after whatever was typed.
::testing::AssertionResult WithinRange(QAbstractSpinBox* field) {
    if (auto* s = qobject_cast<QSpinBox*>(field)) {
        if (s->value() >= s->minimum() && s->value() <= s->maximum()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << s->objectName().toStdString() << " = " << s->value();
    }
    if (auto* d = qobject_cast<QDoubleSpinBox*>(field)) {
        if (d->value() >= d->minimum() && d->value() <= d->maximum()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << d->objectName().toStdString() << " = " << d->value();
    }
    return ::testing::AssertionSuccess();
}

void SetExtreme(QAbstractSpinBox* field, bool highest) {
    if (auto* s = qobject_cast<QSpinBox*>(field)) s->setValue(highest ? s->maximum() : s->minimum());
    if (auto* d = qobject_cast<QDoubleSpinBox*>(field)) d->setValue(highest ? d->maximum() : d->minimum());
}

QPushButton* OkButton(QWidget* w) {
    if (auto* b = w->findChild<QPushButton*>("Button1")) return b;
    for (QPushButton* b : w->findChildren<QPushButton*>())
        if (b->text().remove('&') == "OK") return b;
    return nullptr;
}

struct BadInputDoors : AppTest {
    std::vector<std::string> messages; // windows that came up over a dialog

    // Every field of `w` takes the garbage, then its extreme.
    void Abuse(QWidget* w, bool highest, const std::string& what) {
        for (QAbstractSpinBox* field : NumberFields(w)) {
            for (const char* text : kGarbage) {
                TypeInto(field, QString::fromLatin1(text));
                EXPECT_TRUE(WithinRange(field)) << what << " after typing '" << text << "'";
            }
            SetExtreme(field, highest);
        }
    }

    // The slot's image and history are whole.
    void ExpectWhole(int slot, const std::string& what) {
        const TImages& s = Ws().Images[static_cast<std::size_t>(slot)];
        ASSERT_TRUE(s.InUse) << what;
        EXPECT_FALSE(s.Bitmap.Empty()) << what;
        ASSERT_EQ(s.Rows.Count(), s.Bitmap.Height()) << what;
        EXPECT_EQ(s.Rows[s.Bitmap.Height() - 1], s.Bitmap.Row(s.Bitmap.Height() - 1)) << what;
        EXPECT_LE(s.HistoryPos, s.HistoryCount) << what;
        WaitForStoredSteps(Ws());
        for (int k = 1; k <= s.HistoryCount; ++k)
            EXPECT_TRUE(QFile::exists(QString::fromStdString(SnapshotPath(Ws(), slot, k))))
                << what << " " << k;
    }

    // Opens the command's dialog, abuses its fields and presses OK; any
    // window that comes up over it (a message) is noted and closed.
    void RunDialog(const char* command, bool highest) {
        const std::string what = std::string(command) + (highest ? " at the highest" : " at the lowest");
        QAction* a = Cmd(command);
        ASSERT_NE(a, nullptr);
        if (!a->isEnabled()) {
            ADD_FAILURE() << what << ": the command is disabled";
            return;
        }
        QWidget* dialog = nullptr;
        bool done = false;
        int lingering = 0;
        auto* poll = new QTimer(TestScope());
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, [&] {
            QWidget* m = QApplication::activeModalWidget();
            if (!m || !m->isVisible()) return;
            if (!dialog) {
                dialog = m;
                Abuse(m, highest, what);
                QPushButton* ok = OkButton(m);
                EXPECT_NE(ok, nullptr) << what;
                // Pressed from the event loop, so that a message it brings
                // up meets this watcher again.
                if (ok)
                    QMetaObject::invokeMethod(ok, &QPushButton::click, Qt::QueuedConnection);
                else
                    m->close();
                done = true;
            } else if (m != dialog || ++lingering > 20) {
                // A message over the dialog, or the dialog itself still up
                // after OK (it refused the values): noted and closed.
                messages.push_back(what + ": " + m->objectName().toStdString() + " " +
                                   m->windowTitle().toStdString());
                m->close();
            }
        });
        poll->start();
        a->trigger();
        for (int i = 0; i < 50 && QApplication::activeModalWidget(); ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        delete poll;
        EXPECT_TRUE(done) << what << ": no dialog came up";
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << what;
    }
};

} // namespace

TEST_F(BadInputDoors, EveryDialogsNumberFieldsTakeGarbageAndExtremes) {
    Start();
    window->show();
    for (const bool highest : {false, true})
        for (const char* command : kDialogCommands) {
            // A fresh image of two layers, the upper one current (Edit
            // Current Layer needs it).
            TDropChanges drop;
            CloseAllImages(Ws(), drop);
            const int slot = NewImage(40, 30);
            ASSERT_GE(slot, 0);
            NewLayer(Ws(), TNewLayer{20, 10, 3, 4, 255});
            RunDialog(command, highest);
            for (int s = 0; s < kSlotCount; ++s)
                if (Ws().Images[static_cast<std::size_t>(s)].InUse) ExpectWhole(s, command);
        }
    // Every other dialog took OK at both extremes. New Image stays open at a
    // width of 1 or less (the field becomes 100); a picture of the largest
    // sizes cannot be made, which New Image, New Layer, Edit Current Layer
    // and Resize say in a message.
    const std::set<std::string> expected = {
        "NewImage1 at the lowest: TForm2 New Image",
        "NewImage1 at the highest:  Pixora",
        "NewLayer1 at the highest: TForm51 Message",
        "EditCurrentLayer1 at the highest: TForm51 Message",
        "Resize1 at the highest: TForm51 Message",
    };
    EXPECT_EQ(std::set<std::string>(messages.begin(), messages.end()), expected);
}

TEST_F(BadInputDoors, ToolAndEffectOptionWindowsTakeGarbageAndExtremes) {
    Start();
    window->show();
    const int slot = NewImage(40, 30);
    for (const bool highest : {false, true}) {
        for (QWidget* w : window->Windows().All()) {
            if (qobject_cast<QDialog*>(w) && static_cast<QDialog*>(w)->isModal()) continue;
            Abuse(w, highest, w->objectName().toStdString());
        }
        // Every tool draws and every quick effect runs with those values.
        for (const TToolDescription& row : ToolTable()) {
            if (!row.Make || row.ModalBox || row.Number == ToolText || !ChooseTool(*window, row.Number))
                continue;
            ViewControls* view = window->View();
            view->PointerPress(5, 5, 0);
            view->PointerMove(20, 15);
            view->PointerRelease(30, 25);
            view->PointerDoubleClick();
            ExpectWhole(slot, "tool " + std::to_string(row.Number));
        }
        for (const TEffectRow& row : EffectTable())
            if (row.Kind == TEffectKind::Quick && row.Operation) {
                RunEffect(*window, row);
                ExpectWhole(slot, std::string(row.Caption));
            }
    }
}
