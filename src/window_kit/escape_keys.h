#pragma once
// Escape as every desktop program takes it: in a dialog it does what the
// dialog's "Cancel" button does (a dialog that tells Cancel apart from a
// plain close reads the same answer either way), and a window of our own
// that asks for it closes.

#include <QObject>

class QWidget;

namespace pixora {

// Watches the application's key presses; made once by the main window.
class EscapeAsCancel : public QObject {
public:
    explicit EscapeAsCancel(QObject* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Escape closes `window` while it or one of its controls has the focus.
void CloseOnEscape(QWidget* window);

} // namespace pixora
