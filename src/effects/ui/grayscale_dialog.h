#pragma once
// "GrayScale" (TForm35): grey with a dominant channel and a brightness,
// previewed in the view. It is not modal and stays on top, so the user may
// go on working while it is open.

#include "effects/ui/filter_dialog.h"
#include "window_kit/window_class.h"

namespace pixora {

class GrayScaleDialog : public FilterDialog {
    Q_OBJECT
public:
    GrayScaleDialog(WindowHost& host, const TEffectRow& row, QWidget* owner);

    // Shows the window over the active image (nothing without one) with
    // its controls reset ("RGB" chosen, the brightness kept), and previews.
    void Open() override;

protected:
    void RunPreview() override;
    // The grey of the image as it is at "OK".
    Bitmap& CommitSource() override;

private:
    bool quiet_ = false; // the resets of Open() run no preview of their own
};

template <> struct WindowClass<TWindow::GrayScale> { using Type = GrayScaleDialog; };

} // namespace pixora
