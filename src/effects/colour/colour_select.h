#pragma once
// The colour selection dialog without its window: the values of its twelve
// controls and two shapes, how a change of one group reaches the others, the
// six ramps and the colour picture.
//
// Saturation is one scale everywhere, 0..255: the spin edit, the ramp and
// both directions of the conversion (integer HSV of colour_spaces.h). The
// saturation track bar starts at 1, so the track bar path never asks for a
// grey with a hue.

#include <cstdint>

#include "doc/bitmap.h"

namespace pixora {

// Who asked for a colour; "Select" hands it to them.
enum class TColourTarget : int {
    NewImage = 0,         // the New Image dialog's colour shape
    Foreground = 1,       // the main form's Shape1 and the slot's FG colour
    Background = 2,       // the main form's Shape2 and the slot's BG colour
    RotateBackground = 3, // the Rotate Image dialog's colour shape
};

// The control being used; a change handler acts only while its own group is
// the active one, so the values the updates write do not cascade.
enum class TColourControl : int { None = 0, Red, Green, Blue, Hue, Saturation, Value };

// Track bar ranges (the spin edits run 0..359 for hue and 0..255 otherwise).
inline constexpr int kHueMax = 359;
inline constexpr int kSaturationTrackMin = 1;

// What the dialog shows. Colours are colour values (red in the low byte).
struct TColourControls {
    int32_t NewColour = 0; // Shape1
    int32_t OldColour = 0; // Shape2: the colour the dialog was opened with
    int Red = 0, Green = 0, Blue = 0;
    int Hue = 0, Saturation = kSaturationTrackMin, Value = 0; // the track bars; the spin edits equal them
    TColourControl Active = TColourControl::None;
};

// Opening with a colour: both shapes and every control from it, no control active.
void OpenColourControls(TColourControls& c, int32_t colour);

// From a colour (a pick from the picture): Shape1, red, green, blue and the
// HSV controls from its conversion (limited to the track bars' ranges).
void ColourControlsFromColour(TColourControls& c, int32_t colour);

// A red, green or blue control changed: the colour of the three, then as above.
void ColourControlsFromRGB(TColourControls& c, int r, int g, int b);

// A hue, saturation or value control changed: the values are limited to the
// track bars' ranges; red, green, blue and Shape1 from the HSV conversion.
void ColourControlsFromHSV(TColourControls& c, int h, int s, int v);

// The six ramps of the dialog, each a 24-bit bitmap of its image's size.
enum class TColourRamp { Red, Green, Blue, Hue, Saturation, Value };

// Column i of every row: red, green, blue at i modulo 256 (the other two 0);
// hue i * 360 / 255 (rounded) at the current saturation and value;
// saturation or value i (at most 255) with the other two current.
Bitmap ColourRampImage(TColourRamp ramp, int width, int height, const TColourControls& c);

// The colour picture the user picks from: the hues from left to right, from
// white at the top through the full colours in the middle to black at the
// bottom. 24-bit.
Bitmap ColourPicture(int width, int height);

// A pick on the picture at (x, y): false for column 0, row 0 and points
// outside it; otherwise the colour value of the pixel there.
bool PickFromPicture(const Bitmap& picture, int x, int y, int32_t& colour);

} // namespace pixora
