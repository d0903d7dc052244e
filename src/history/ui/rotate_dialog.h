#pragma once
// "Rotate Image" (TForm30): a flip, mirror or quarter turn from "Controls",
// or a turn by "Rotation Angle:" on a background colour, previewed in the
// main view at the preview's size. The last action shown is the one "OK"
// applies, to the whole image.

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
    // "OK": the step "Image Rotate" with the action the preview shows, turned
    // at the image's size, then the dialog closes.
    void OkClicked();

    int32_t Background() const;
    void SetBackground(int32_t colour);
    // The action chosen last; "OK" applies it when its preview could be shown.
    const TRotateParams& LastAction() const { return last_; }
    // The turned picture the view shows, at the preview's size.
    const Bitmap& PreviewBitmap() const { return preview_.Turned; }

protected:
    void done(int result) override;

private:
    // Turns the reduced copy of the unchanged image by the action and shows
    // it in the main view.
    void ShowPreview(const TRotateParams& action);
    void AngleChanged();
    void ControlChosen(int item);
    void ShapeClicked();

    WindowHost& host_;
    QSpinBox* ra_;
    SwatchWidget* shape_;
    QButtonGroup* c_;
    TRotatePreview preview_;
    TRotateParams last_;
    TRotateParams shown_;     // the action the preview shows
    bool anyShown_ = false;   // whether one was shown since the dialog opened
    bool open_ = false;
};

template <> struct WindowClass<TWindow::Rotate> { using Type = RotateDialog; };

} // namespace pixora
