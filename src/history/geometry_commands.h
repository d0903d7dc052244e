#pragma once
// The whole-image geometry commands: resizing (stretched through the
// bilinear resampler or cut and extended) and the rotations and mirrors.
// Each comes as a pure form over a bitmap, which the rotate window's
// preview and the command line use, and as an undoable step on the active
// slot, which the windows' OK and the command line's editor path use. Both
// forms take the same parameter struct.

#include <cstdint>

#include "doc/workspace.h"

namespace pixora {

// ---- resize --------------------------------------------------------------------

struct TResizeParams {
    int Width = 1;
    int Height = 1;
    bool Stretch = true; // "Stretch to fit new Image"
};

// The resized picture: stretched with the bilinear weights, the fourth byte
// included; unstretched, the content stays at the top left, is cut at the
// new right and bottom edges, and added area is zero bytes (black,
// opaque). False (target untouched) for a width or height below 1.
bool ResizeBitmap(const Bitmap& source, const TResizeParams& params, Bitmap& target);

// The step "Resize" on the active slot. A stretched resize works in
// StrokeBase, which keeps the resized picture afterwards. Ends with the tab
// change. False, with nothing changed, for a size below 1, no open image or
// a history snapshot that could not be stored; a size beyond the largest
// image is refused with a message.
bool ResizeActiveImage(Workspace& ws, const TResizeParams& params);

// The two size fields of the resize window with their "Link" rule.
enum class TSizeField { None, Width, Height };

struct TResizeFields {
    int Width = 0;                         // W
    int Height = 0;                        // H
    int LastWidth = 0, LastHeight = 0;     // the last valid values
    TSizeField Editing = TSizeField::None; // the field the user entered last
    bool Link = false;
    // "Keep aspect ratio": the other field follows in the image's proportion
    // (it wins over "Link"). The image's size when the window opened.
    bool KeepAspect = false;
    int ImageWidth = 0, ImageHeight = 0;
};

// On show: both fields and their last valid values from the image.
void ShowResizeFields(TResizeFields& f, int imageWidth, int imageHeight);

// After the user changed one field to its value in f: a value below 1 is
// replaced by the last valid one; otherwise, with "Keep aspect ratio" and
// this the field being edited, the other field keeps the image's proportion
// (rounded, at least 1); with "Link" instead, the other field gains the same
// number of pixels (100 -> 150 with a height of 80 gives 130). The window writes both
// fields back without letting their change signals run again: whatever
// those would do is done here.
void SizeFieldChanged(TResizeFields& f, TSizeField changed);

// The size as a whole percentage of the image's, from the width (rounded).
int ResizePercent(const TResizeFields& f);
// The percentage field: both sides become that share of the image's
// (rounded, at least 1 pixel). A percentage below 1 changes nothing.
void ResizeToPercent(TResizeFields& f, int percent);

// "OK": the request to apply, or nothing when a field is below 1 (that
// field is then reset to its last valid value and the window stays open).
bool AcceptResizeFields(TResizeFields& f, TResizeParams& params, bool stretch);

// ---- rotate --------------------------------------------------------------------

// The items of the "Controls" group in order, then the turn by an angle.
enum class TRotateAction : int {
    FlipVertical = 0,     // "Rotate": upside down
    MirrorHorizontal = 1, // "Mirror"
    RotateLeft = 2,       // a quarter turn counter-clockwise
    RotateRight = 3,      // a quarter turn clockwise
    RotateHalf = 4,       // "Rotate and Mirror"
    Angle = 5,            // by Degrees, counter-clockwise on the screen
};

struct TRotateParams {
    TRotateAction Action = TRotateAction::Angle;
    double Degrees = 0;
    int32_t Background = 0; // colour value (red in the low byte), opaque
};

// The turned picture into target (sized by the rotation). An angle is
// brought into 0..360 degrees before it is turned into radians, so 450 and
// -270 degrees turn exactly as 90 does. False (target as before) for an
// empty source, an angle that is not a number or a result beyond the
// largest image.
bool RotateBitmap(const Bitmap& source, const TRotateParams& params, Bitmap& target);

// Whether the turned picture stays within the largest image; RotateBitmap
// refuses (false) one that does not. RotationTooLarge says so in a message.
bool RotationFits(const Bitmap& source, const TRotateParams& params);
bool RotationTooLarge(Workspace& ws, const Bitmap& source, const TRotateParams& params);

// The rotate window's view of a turned picture: a width x height frame (the
// image's own size, which the view shows) of the window grey, with the
// picture scaled to fit inside it at its own aspect and centred, so a turn
// by 45 degrees shows as the square it is, not squeezed into the old frame.
inline constexpr int32_t kPreviewFrameColour = 0xF0F0F0;
void FitIntoFrame(const Bitmap& picture, int width, int height, Bitmap& frame);

// The rotate window's preview, made at the preview's size rather than the
// image's: the image reduced once, when the window opens, to at most
// kRotatePreviewSide pixels on its longer side (a smaller image is kept as it
// is), then every change turns that copy and fits it into a frame of the
// image's aspect at the same scale, which the view stretches to its size.
inline constexpr int kRotatePreviewSide = 1280;

struct TRotatePreview {
    Bitmap Reduced; // the image at the preview's size, 32 bits per pixel
    Bitmap Turned;  // the reduced copy as the last shown action turns it
};

// Starts a preview of `image`, 32 bits per pixel (cleared for an empty one).
void StartRotatePreview(const Bitmap& image, TRotatePreview& preview);

// Turns the reduced copy by `params` into preview.Turned and shows it in
// `frame`. False (both as before) when the turn is refused.
bool ShowRotatePreview(TRotatePreview& preview, const TRotateParams& params, Bitmap& frame);

// The step "Image Rotate": the active image becomes `result` (a preview
// computed with RotateBitmap), 32 bits per pixel, then the tab change. The
// rotate window ends a floating selection (WindowPort::EndSelection) before
// it computes its first preview; this ends one again before the step is
// stored, as ResizeActiveImage and RotateActiveImage do.
bool CommitRotation(Workspace& ws, Bitmap result);

// RotateBitmap of the active image, then CommitRotation.
bool RotateActiveImage(Workspace& ws, const TRotateParams& params);

} // namespace pixora
