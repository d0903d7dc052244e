#pragma once

#include <functional>

#include "io/new_close_commands.h"
#include "window_kit/window_class.h"
#include "window_kit/window_support.h"

class QLabel;
class QSlider;
class QSpinBox;

namespace pixora {

// "New Image" (TForm2).
class NewImageDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit NewImageDialog(QWidget* parent = nullptr);

    // Called by "OK" once the size is accepted; the dialog closes after it.
    std::function<void(const TNewImage&)> OnCreate;
    // Lets the user choose the background colour; false when cancelled.
    // Without it the platform's colour dialog is used.
    std::function<bool(int32_t& colour)> PickColour;

    TNewImage Values() const;
    int32_t Colour() const { return colour_; }
    void SetColour(int32_t colour);

    // "OK": a width or height not above 1 is set to 100 and the dialog stays.
    void OkClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSpinBox* width_;
    QSpinBox* height_;
    QLabel* shape_;
    QSlider* t_;
    int32_t colour_ = 0xFFFFFF;
};

template <> struct WindowClass<TWindow::NewImage> { using Type = NewImageDialog; };

} // namespace pixora
