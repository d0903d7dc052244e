#pragma once
// "Colour Select" (TForm7): picks a colour from a picture, from red, green
// and blue or from hue, saturation and value, for one of four targets.

#include <array>

#include "effects/colour/colour_select.h"
#include "window_kit/window_class.h"
#include "window_kit/window_support.h"

class QLabel;
class QSlider;
class QSpinBox;

namespace pixora {

class SwatchWidget;
class WindowHost;

class ColourSelectDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit ColourSelectDialog(QWidget* parent = nullptr);

    // Loads the colour into every control, shows the dialog modally and
    // gives true on "Select", with colour set to the new one.
    bool Open(int32_t& colour, TColourTarget target);

    TColourTarget Target() const { return target_; }
    const TColourControls& Controls() const { return c_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TGroup {
        TColourControl Id;
        TColourRamp Ramp;
        QSlider* Track;
        QSpinBox* Spin;
        QLabel* RampImage;
    };
    void AddGroup(std::size_t index, const char* title, const char* letter, TColourControl id,
                  TColourRamp ramp, int trackMin, int trackMax, int spinMax, int x, int y);
    void Changed(const TGroup& g, bool fromTrack);
    // Every control from the values, without running their change handlers.
    void ShowControls(bool rgbRamps);
    void Pick(const QPoint& at);

    std::array<TGroup, 6> groups_{};
    TColourControls c_;
    TColourTarget target_ = TColourTarget::Foreground;
    Bitmap picture_;
    QLabel* image_ = nullptr;
    SwatchWidget* shape1_ = nullptr;
    SwatchWidget* shape2_ = nullptr;
    bool dragging_ = false;
};

// Opens the colour selection dialog for a target with its colour. On
// "Select" the foreground and background targets take the colour into the
// main form's swatch and the active slot's drawing colour; the two dialog
// targets are given it in `colour`. True on "Select".
bool ChooseColour(WindowHost& w, TColourTarget target, int32_t& colour);

// "Select FG Colour" / "Select BG Colour" and the swatches: the dialog with
// the current drawing colour.
void ChooseDrawingColour(WindowHost& w, TColourTarget target);

// Puts the dialog in its frame's place and wires the swatches of the main
// form, the New Image dialog and the Rotate Image dialog to it (after those
// dialogs are in place).
void InstallColourSelect(WindowHost& w);

template <> struct WindowClass<TWindow::ColourSelect> { using Type = ColourSelectDialog; };

} // namespace pixora
