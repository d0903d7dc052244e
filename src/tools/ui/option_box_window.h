#pragma once
// The small modeless windows whose controls the painting tools read live.
// Each box is a tool window that stays above the main window. The numbered
// boxes (those that record themselves in OptionBoxId) are semi-transparent:
// dimmed when shown, opaque while the pointer is over them, and placed just
// above the main window's status bar.

#include <QDialog>
#include <QSpinBox>
#include <span>
#include <vector>

#include "tools/tool_options.h"
#include "window_kit/window_class.h"

class QGridLayout;

namespace pixora {

class WindowHost;

// Where a box that sits above the main window's status bar goes: its top on
// the status bar's top line counted from the main window's top, minus its
// own height; centred on the screen.
QPoint PlaceAboveStatusBar(WindowHost& main, const QWidget* box);

class OptionBoxWindow : public QDialog {
    Q_OBJECT
public:
    // number: the value recorded in OptionBoxId on show; 0 for boxes that
    // are plain tool windows without dimming or placement.
    OptionBoxWindow(WindowHost& main, int number, QWidget* owner);

    int Number() const { return number_; }
    // Places the box above the main window's status bar the first time it
    // shows (numbered boxes always do); later it reopens where it was left.
    void SetPlacedAboveStatusBar(bool on) { placed_ = on; }

    // Adds the control of each option row, one grid row each (a row marked
    // Beside shares the one before), in order, and binds each to its id in
    // the main window's option controls (which gives them by id).
    void AddControls(std::span<const TOptionRow> rows);
    QGridLayout* Grid() const { return grid_; }

    // Where this box goes (the free function above).
    QPoint PlaceAboveStatusBar() const;

signals:
    void Shown();
    void Closed();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool event(QEvent* e) override;

private:
    void Brighten();

    WindowHost& main_;
    int number_;
    bool placed_;
    QGridLayout* grid_;
};

// The history brush size: a value of 0 or less typed into it becomes its
// largest value when the field is left; other values are kept inside its
// range.
class HistorySizeSpin : public QSpinBox {
    Q_OBJECT
public:
    explicit HistorySizeSpin(QWidget* parent);

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    void fixup(QString& text) const override;
};

template <> struct WindowClass<TWindow::PenOptions> { using Type = OptionBoxWindow; };
template <> struct WindowClass<TWindow::SelectOptions> { using Type = OptionBoxWindow; };
template <> struct WindowClass<TWindow::ShapeOptions> { using Type = OptionBoxWindow; };
template <> struct WindowClass<TWindow::RoundRectOptions> { using Type = OptionBoxWindow; };
template <> struct WindowClass<TWindow::SprayOptions> { using Type = OptionBoxWindow; };
template <> struct WindowClass<TWindow::BrushOptions> { using Type = OptionBoxWindow; };
template <> struct WindowClass<TWindow::FillOptions> { using Type = OptionBoxWindow; };
template <> struct WindowClass<TWindow::ChannelOptions> { using Type = OptionBoxWindow; };
template <> struct WindowClass<TWindow::RadiusOptions> { using Type = OptionBoxWindow; };
template <> struct WindowClass<TWindow::TextEditor> { using Type = OptionBoxWindow; };
template <> struct WindowClass<TWindow::HistoryBrushOptions> { using Type = OptionBoxWindow; };
template <> struct WindowClass<TWindow::EraserOptions> { using Type = OptionBoxWindow; };
template <> struct WindowClass<TWindow::TransparencyOptions> { using Type = OptionBoxWindow; };

} // namespace pixora
