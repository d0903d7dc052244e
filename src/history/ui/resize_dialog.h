#pragma once
// "Resize Image" (TForm28): the new width and height, "Link" with the size
// in percent beside it, "Keep aspect ratio" and "Stretch to fit new Image".

#include "history/geometry_commands.h"
#include "window_kit/window_class.h"
#include "window_kit/window_support.h"

class QCheckBox;
class QSpinBox;

namespace pixora {

class Workspace;

class ResizeDialog : public CentredDialog {
    Q_OBJECT
public:
    ResizeDialog(Workspace& ws, QWidget* parent = nullptr);

    // Shows the dialog modally over the active image; nothing without one.
    void Open();
    // "OK": a size below 1 comes back to its last valid value and the
    // dialog stays open; otherwise the step "Resize", then it closes.
    void OkClicked();

    const TResizeFields& Fields() const { return f_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FieldChanged(TSizeField field);
    void ShowFields();

    Workspace& ws_;
    TResizeFields f_;
    QSpinBox* w_;
    QSpinBox* h_;
    QCheckBox* link_;
    QSpinBox* percent_;
    QCheckBox* aspect_;
    QCheckBox* stretch_;
};

template <> struct WindowClass<TWindow::Resize> { using Type = ResizeDialog; };

} // namespace pixora
