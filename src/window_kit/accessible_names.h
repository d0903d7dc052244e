#pragma once
// Names for screen readers. Qt gives a control its role and, for a button
// with a caption, its name; a slider, a spin box, a list or a picture button
// has none unless one is set. Here every such control without one takes
// the name a sighted user reads beside it: the label whose buddy it is, the
// label in its layout row, the label to its left or above it, its tooltip,
// or the title of its group; a scroll bar is named by its direction and
// an arrow button by its arrow. A name set by hand is never replaced.

#include <QObject>
#include <QString>

class QWidget;

namespace pixora {

// The name `control` would be given, empty when nothing names it (or when
// it is not a control a user acts on or reads).
QString DerivedAccessibleName(const QWidget* control);

// Gives every unnamed control under `window` its derived name.
void NameUnnamedControls(QWidget* window);

// Names the controls of every window when it is shown (windows built or
// rebuilt late included); made once by the main window.
class AccessibleNames : public QObject {
public:
    explicit AccessibleNames(QObject* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace pixora
