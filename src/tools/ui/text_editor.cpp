#include "tools/ui/text_editor.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <cmath>

#include "tools/text_tool.h"
#include "tools/ui/option_box_window.h"
#include "window_kit/option_controls.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

constexpr const char* kFontProperty = "chosenFont";

QWidget* Editor(WindowHost& w) {
    return w.Window(TWindow::TextEditor);
}

// The font the "Change Font" dialog chose, its face Arial on every show.
QFont ChosenFont(const QWidget* box) {
    const QVariant v = box->property(kFontProperty);
    return v.isValid() ? v.value<QFont>() : QFont("Arial", 12);
}

TTextSettings Settings(WindowHost& w, const QWidget* box) {
    TTextSettings t;
    if (const auto* text = box->findChild<QLineEdit*>("T")) t.Text = text->text().toStdString();
    const QFont f = ChosenFont(box);
    t.Font.Face = f.family().toStdString();
    // Points at the screen's 96 pixels per inch.
    t.Font.Height =
        f.pixelSize() > 0 ? f.pixelSize() : static_cast<int>(std::lround(f.pointSizeF() * 96.0 / 72.0));
    t.Font.Weight = f.bold() ? 700 : 400;
    t.Font.Italic = f.italic();
    t.Font.Underline = f.underline();
    t.Font.StrikeOut = f.strikeOut();
    const OptionControls& o = w.Options();
    t.Font.Escapement = o.Value(TOpt::TextAngle) * 10;
    t.ClearBackground = o.Value(TOpt::TextClearBackground) != 0;
    t.Occupancy = o.Value(TOpt::TextOccupation);
    Workspace& ws = w.Ws();
    if (const TActiveImage s = ws.ActiveImage()) t.BackColour = s->BGColour;
    return t;
}

void Preview(WindowHost& w, const QWidget* box) {
    PreviewText(w.Ws(), Settings(w, box));
}

} // namespace

void WireTextEditor(WindowHost& w, OptionBoxWindow* box) {
    auto preview = [&w, box] { Preview(w, box); };
    if (auto* text = box->findChild<QLineEdit*>("T"))
        QObject::connect(text, &QLineEdit::textChanged, box, preview);
    const OptionControls& o = w.Options();
    QObject::connect(o.Control<QCheckBox>(TOpt::TextClearBackground), &QCheckBox::toggled, box, preview);
    QObject::connect(o.Control<QSpinBox>(TOpt::TextAngle), &QSpinBox::valueChanged, box, preview);
    QObject::connect(o.Control<QSlider>(TOpt::TextOccupation), &QSlider::valueChanged, box, preview);
    if (auto* font = box->findChild<QPushButton*>("Button2"))
        QObject::connect(font, &QPushButton::clicked, box, [&w, box] {
            bool ok = false;
            const QFont chosen = QFontDialog::getFont(&ok, ChosenFont(box), w.Owner());
            if (ok) box->setProperty(kFontProperty, chosen);
            Preview(w, box);
        });
    QObject::connect(box, &OptionBoxWindow::Shown, box, [&w, box] {
        QFont f = ChosenFont(box);
        f.setFamily("Arial");
        box->setProperty(kFontProperty, f);
        Preview(w, box);
    });
    QObject::connect(box, &OptionBoxWindow::Closed, box, [&w, box] { CommitText(w.Ws(), Settings(w, box)); });
}

void TextToolPressed(WindowHost& w) {
    QWidget* box = Editor(w);
    if (!box) return;
    if (box->isVisible())
        Preview(w, box);
    else
        box->show();
    // The click went to the canvas: the box takes the keyboard, so what is
    // typed next goes into its text at once.
    box->raise();
    box->activateWindow();
    if (auto* text = box->findChild<QLineEdit*>("T")) text->setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace pixora
