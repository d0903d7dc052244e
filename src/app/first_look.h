#pragma once
// The first look at a big picture given on the command line: its reduced
// decode, stretched to the size the picture will have, drawn where the view
// will show it, until the whole picture is in. Nothing can be edited on it:
// user input waits meanwhile.

#include <QWidget>

#include "doc/bitmap.h"

class QTabWidget;

namespace pixora {

class FirstLook : public QWidget {
public:
    // Shows `reduced` (the picture at 1 / reduce of its size) over the tab
    // pages of `pages`, at the place and zoom 1:1 of the view to come.
    FirstLook(QTabWidget* pages, Bitmap reduced, int reduce);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    Bitmap reduced_;
    int reduce_ = 1;
    QRect panel_;  // the view's scroll panel, in this widget
    QRect image_;  // the whole picture at 1:1, in this widget
};

} // namespace pixora
