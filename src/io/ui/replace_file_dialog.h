#pragma once

#include "window_kit/window_class.h"
#include "window_kit/window_support.h"

namespace pixora {

// "Replace File?" (TForm53): "Yes" accepts, "No" rejects.
class ReplaceFileDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit ReplaceFileDialog(QWidget* parent = nullptr);
};

template <> struct WindowClass<TWindow::ReplaceFile> { using Type = ReplaceFileDialog; };

} // namespace pixora
