#pragma once
// Small pieces every window uses: centring on the screen, a picture of a
// bitmap's colour bytes, a spin box with its range, a radio group and an
// "OK" button.

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QStringList>
#include <functional>
#include <optional>
#include <string_view>

#include "doc/bitmap.h"
#include "doc/records.h"
#include "doc/window_ids.h"

class QButtonGroup;
class QColor;
class QGridLayout;
class QPushButton;
class QSpinBox;
class QWidget;

namespace pixora {

// A caption or name of a table row as Qt text.
QString Text(std::string_view s);

// Moves a window to the centre of its screen (the primary one before it
// has one).
void CentreOnScreen(QWidget* w);

// Where a window sits over the lower edge of the main window: its top on
// the status bar's top line (counted from the main window's top) minus its
// own height, its left half the screen's width minus half its own.
QPoint AboveStatusBar(const QWidget* main, const QWidget* statusBar, const QWidget* window);

// Whether the windows are on a Wayland desktop, where a program may not
// place its windows, make them see-through or move the pointer: the rules
// that ask for these are left out there, quietly.
bool OnWayland();
// Sets a window's opacity where the platform can show it.
void SetOpacity(QWidget* window, double opacity);

// Where a window goes each time it is shown: the first time at `first()`
// (asked then, so it may read the window's size; no point leaves it where Qt
// would put it), after that where it was
// when it was last hidden, so a window the user moved reopens where they left
// it. Where the platform does not let a client place its windows (Wayland)
// the window is left to the platform, without complaint.
void KeepPlace(QWidget* window, std::function<std::optional<QPoint>()> first);

// The point that centres a window on its screen (the primary one before it
// has one).
QPoint CentredOnScreen(const QWidget* w);

// Gives a window the object name and caption of its id.
void NameWindow(QWidget* w, TWindow id);

// A modal dialog first shown in the centre of the screen and later where it
// was left, with the name and caption of its id and (when given) its fixed
// size.
class CentredDialog : public QDialog {
    Q_OBJECT
public:
    CentredDialog(QWidget* parent, TWindow id, int width = 0, int height = 0);
};

// The colour bytes of a 24- or 32-bit bitmap as a picture (the fourth byte
// is transparency, not alpha, and is left out). ColourView wraps the bitmap's
// memory and lives no longer than it; it is for reading colours only, since
// Qt copies the fourth byte along when it draws such a picture onto a
// surface with alpha (an opaque image would come out fully transparent).
// PictureOf is an opaque copy, fit to be drawn anywhere.
QImage ColourView(const Bitmap& b);
QImage PictureOf(const Bitmap& b);
// The part `part` of the bitmap stretched to width x height (nearest pixel),
// as an opaque picture of part's size: what a picture control of that size
// shows there. Costs the part's area, whatever the stretch. With
// `blendTransparency` each pixel shown is blended with the view's
// checkerboard by its transparency, as the display copy holds it.
QImage StretchedPicture(const Bitmap& b, int width, int height, const QRect& part, bool blendTransparency = false);
// The other way round: the part of a control of width x height showing a
// bitmap of bitmapWidth x bitmapHeight that shows the bitmap's pixels
// `area` (left and top included), as StretchedPicture picks them; empty when
// none of them shows.
QRect ViewPartShowing(const TRect& area, int bitmapWidth, int bitmapHeight, int width, int height);
// The same, not held to the image: a part beyond its edge keeps the scale
// (an outline around the pointer near the edge).
QRect ViewRectOf(const TRect& area, int bitmapWidth, int bitmapHeight, int width, int height);

// Paints a control's background in one colour.
void SetBackground(QWidget* w, const QColor& colour);

// A spin box named `name` with the range [min, max] and a start value (Qt's
// own default range of 0..99 would clamp silently).
QSpinBox* MakeSpinBox(QWidget* parent, const char* name, int min, int max, int value = 0);
// The same in row `row` of a grid: the caption's label (named nameLabel)
// in the first column and the spin box in the second.
QSpinBox* AddLabelledSpinBox(QGridLayout* grid, int row, const QString& caption, const char* name, int min,
                             int max, int value = 0);

// A radio group: a box captioned `caption` named `name`, with one button
// per item (ids 0.. in order, named nameItem0 ...), item `checked` checked.
QButtonGroup* MakeRadioGroup(QDialog* owner, const QString& caption, const QString& name,
                             const QStringList& items, int checked, const QRect& box);

// The default button (Button1) captioned `caption` at (x, y); the caller
// says what it does.
QPushButton* MakeDefaultButton(QDialog* owner, const QString& caption, int x, int y);
// The default "OK" button (Button1) at (x, y), accepting the dialog.
QPushButton* MakeOkButton(QDialog* owner, int x, int y);
// The "Cancel" button (Button2) at (x, y), rejecting the dialog.
QPushButton* MakeCancelButton(QDialog* owner, int x, int y);

} // namespace pixora
