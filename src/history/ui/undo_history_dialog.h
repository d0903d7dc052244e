#pragma once
// "Undo History" (TForm31): the stored snapshots of the active image, one
// row each with its thumbnail and step name, in a scrolling list. "OK"
// jumps to the chosen snapshot or, while the history brush is the tool,
// makes it the brush's source. "Reset Image" (TForm29) blends the original
// image back in by a percentage.

#include <QDialog>

#include "doc/bitmap.h"
#include "window_kit/window_class.h"

class QLabel;
class QScrollBar;
class QSlider;

namespace pixora {

class WindowHost;

class UndoHistoryDialog : public QDialog {
    Q_OBJECT
public:
    explicit UndoHistoryDialog(WindowHost& w);

    // The 1-based snapshot chosen; set afresh on every show.
    int SelectedStep() const { return selected_; }
    // What a press at height y of the list does.
    void PressList(int y);

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void DrawList();
    void Ok();

    WindowHost& w_;
    int selected_ = 0;
    Bitmap list_;
    QWidget* inner_;
    QLabel* image_;
    QScrollBar* scroll_;
};

class ResetImageDialog : public QDialog {
    Q_OBJECT
public:
    explicit ResetImageDialog(WindowHost& w);

private:
    WindowHost& w_;
    QSlider* p_;
};

// The Edit menu's "Undo History": with an image open, no tool, then the
// dialog, modally.
void ShowUndoHistory(WindowHost& w);
// "Reset Image", modally.
void ShowResetImage(WindowHost& w);

// Puts both dialogs in place of their start-up frames.
void InstallHistoryWindows(WindowHost& w);

template <> struct WindowClass<TWindow::UndoHistory> { using Type = UndoHistoryDialog; };
template <> struct WindowClass<TWindow::Reset> { using Type = ResetImageDialog; };

} // namespace pixora
