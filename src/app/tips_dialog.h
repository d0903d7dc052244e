#pragma once
// "Tips" (TForm52): the tip after the one last seen, "Next Tip" for the
// one after that, and "Show Tips at Startup". However it is closed, the tip
// shown and the check box go back into the preference file.

#include "io/tips.h"
#include "window_kit/window_class.h"
#include "window_kit/window_support.h"

class QCheckBox;
class QLabel;

namespace pixora {

class Workspace;

class TipsDialog : public CentredDialog {
    Q_OBJECT
public:
    TipsDialog(Workspace& ws, QWidget* parent);
    int TipNumber() const { return state_.TipNumber; }

    void ShowNextTip();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    void ShowTip();

    Workspace& ws_;
    TTipsState state_;
    QLabel* lines_[3];
    QCheckBox* showAtStartup_;
};

template <> struct WindowClass<TWindow::Tips> { using Type = TipsDialog; };

} // namespace pixora
