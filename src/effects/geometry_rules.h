#pragma once
// The whole-image geometry commands as effect rows run them: the turns and
// mirrors of the rotate window and the resize of the resize window, through
// the same cores those windows call (history/geometry_commands.h).

#include "effects/effects_table.h"

namespace pixora::geometry_rules {

// DEG, BACKGROUND: a turn by DEG degrees counter-clockwise on the screen,
// corners in the background colour.
bool RotateByAngle(const Bitmap& image, const TEffectValues& values, Bitmap& out);
// The rotate window's "Controls" items (background black).
bool FlipVertical(const Bitmap& image, const TEffectValues& values, Bitmap& out);
bool MirrorHorizontal(const Bitmap& image, const TEffectValues& values, Bitmap& out);
bool RotateLeft(const Bitmap& image, const TEffectValues& values, Bitmap& out);
bool RotateRight(const Bitmap& image, const TEffectValues& values, Bitmap& out);
bool RotateHalf(const Bitmap& image, const TEffectValues& values, Bitmap& out);
// W, H, NOSTRETCH: the resize window with "Stretch to fit new Image" unless NOSTRETCH.
bool Resize(const Bitmap& image, const TEffectValues& values, Bitmap& out);
// X, Y, W, H: the rectangle of the image from (X, Y), W by H pixels; refused
// when it does not lie wholly inside the image.
bool Crop(const Bitmap& image, const TEffectValues& values, Bitmap& out);
// "" when W x H is an image size the program takes, else why not.
std::string CheckResize(const TEffectValues& values);

} // namespace pixora::geometry_rules
