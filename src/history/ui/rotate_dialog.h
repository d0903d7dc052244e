#pragma once
// "Rotate Image" (TForm30): a flip, mirror or quarter turn from "Controls",
// or a turn by "Rotation Angle:" on a background colour, previewed in the
// main view. The last action chosen is the one "OK" applies.

#include <functional>

#include "history/geometry_commands.h"
#include "window_kit/window_class.h"
#include "window_kit/window_support.h"

class QButtonGroup;
class QSpinBox;

namespace pixora {

class SwatchWidget;
class WindowHost;

class RotateDialog : public CentredDialog {
    Q_OBJECT
public:
    RotateDialog(WindowHost& host, QWidget* parent = nullptr);

    // Lets the user choose the background colour; false when cancelled.
    std::function<bool(int32_t& colour)> PickColour;

    // Shows the dialog modally over the active image; nothing without one.
    void Open();
    // "OK": the step "Image Rotate" with the preview, then the dialog closes.
    void OkClicked();

    int32_t Background() const;
    void SetBackground(int32_t colour);
    // The action the preview shows (and "OK" applies).
    const TRotateParams& LastAction() const { return last_; }
    const Bitmap& PreviewBitmap() const { return preview_; }

protected:
    void done(int result) override;

private:
    // Computes the action from the unchanged image into the preview and
    // shows the preview in the main view.
    void ShowPreview(const TRotateParams& action);
    void AngleChanged();
    void ControlChosen(int item);
    void ShapeClicked();

    WindowHost& host_;
    QSpinBox* ra_;
    SwatchWidget* shape_;
    QButtonGroup* c_;
    Bitmap preview_;
    TRotateParams last_;
    bool open_ = false;
};

template <> struct WindowClass<TWindow::Rotate> { using Type = RotateDialog; };

} // namespace pixora
