#pragma once
// A slider's value in numbers: a spin box beside the slider, with the same
// range, each following the other, so the value can be read and typed.

class QSlider;
class QSpinBox;

namespace pixora {

// Puts a spin box named after the slider ("<name>Value") at its right: in
// the slider's place in its layout (slider and box in one row), or, for a
// slider placed by hand, in the slider's own rectangle, which the slider
// then shares. The box follows the slider's range and value and sets them
// when edited. Returns the box.
QSpinBox* AddValueBox(QSlider* slider);

// The value box's property holding its slider.
inline constexpr const char* kValueBoxOf = "valueBoxOf";

} // namespace pixora
