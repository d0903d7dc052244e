#pragma once

#include "window_kit/window_support.h"

namespace pixora {

// "Replace File?" (TForm53): "Yes" accepts, "No" rejects.
class ReplaceFileDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit ReplaceFileDialog(QWidget* parent = nullptr);
};

} // namespace pixora
