#pragma once
// "About" (TForm55): the program's picture, name and version, one line
// about it and "OK".

#include "window_kit/window_class.h"
#include "window_kit/window_support.h"

namespace pixora {

class AboutDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent);
};

template <> struct WindowClass<TWindow::About> { using Type = AboutDialog; };

} // namespace pixora
