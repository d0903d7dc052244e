#pragma once
// Small pieces every window uses: centring on the screen, a picture of a
// bitmap's colour bytes, a spin box with its range, a radio group and an
// "OK" button.

#include <QImage>
#include <QRect>
#include <QStringList>

#include "doc/bitmap.h"

class QButtonGroup;
class QDialog;
class QPushButton;
class QSpinBox;
class QWidget;

namespace pixora {

// Moves a window to the centre of its screen (the primary one before it
// has one).
void CentreOnScreen(QWidget* w);

// The colour bytes of a 32-bit bitmap as a picture (the fourth byte is
// transparency, not alpha, and is left out). ColourView wraps the bitmap's
// memory and lives no longer than it; PictureOf is a copy.
QImage ColourView(const Bitmap& b);
QImage PictureOf(const Bitmap& b);

// A spin box named `name` with the range [min, max] and a start value (Qt's
// own default range of 0..99 would clamp silently).
QSpinBox* MakeSpinBox(QWidget* parent, const char* name, int min, int max, int value = 0);

// A radio group: a box captioned `caption` named `name`, with one button
// per item (ids 0.. in order, named nameItem0 ...), item `checked` checked.
QButtonGroup* MakeRadioGroup(QDialog* owner, const QString& caption, const QString& name,
                             const QStringList& items, int checked, const QRect& box);

// The default "OK" button (Button1) at (x, y), accepting the dialog.
QPushButton* MakeOkButton(QDialog* owner, int x, int y);

} // namespace pixora
