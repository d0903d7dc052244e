#pragma once
// "Image Histogram" (TForm39): a plane of the image in the view and its
// histogram in the window; "OK" commits the plane's picture.

#include <QImage>

#include "effects/ui/filter_dialog.h"
#include "window_kit/window_class.h"

class QLabel;

namespace pixora {

class HistogramDialog : public FilterDialog {
    Q_OBJECT
public:
    HistogramDialog(WindowHost& host, QWidget* owner);
    TEffectValues Values() const override;

    // The plane shown now (0..13).
    int Plane() const;
    const QImage& HistogramImage() const { return histogram_; }

protected:
    void ResetBeforeShow() override;
    void ResetAfterClose() override;
    // Shows the chosen plane: the list of planes first follows the colour
    // space, then the histogram and the plane's picture are drawn.
    void RunPreview() override;

private:
    void ListPlanes(int space);

    QButtonGroup* space_ = nullptr;
    QButtonGroup* plane_ = nullptr;
    QCheckBox* monochrome_ = nullptr;
    QCheckBox* invert_ = nullptr;
    QLabel* image_ = nullptr;
    QImage histogram_;
    Bitmap work_;
    int listed_ = -1; // the colour space the plane list shows
};

template <> struct WindowClass<TWindow::Histogram> { using Type = HistogramDialog; };

} // namespace pixora
