#pragma once
// "Preferences" (Edit menu): the history budget, automatic (a quarter of
// the free space of the cache folder, at most 8 GB) or a number of
// megabytes. OK writes the preference file and sets the budget at once.

#include "window_kit/window_class.h"
#include "window_kit/window_support.h"

class QCheckBox;
class QLabel;
class QSpinBox;

namespace pixora {

class WindowHost;

class PreferencesDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit PreferencesDialog(WindowHost& host);
    // Fills the controls from the preference file.
    void Fill();
    // Writes what the controls show; false when it could not be saved.
    bool Apply();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void ShowAutomatic();

    WindowHost& host_;
    QCheckBox* automatic_;
    QSpinBox* megabytes_;
    QLabel* now_;
};

// "Preferences..." in the Edit menu.
void ShowPreferences(WindowHost& host);

template <> struct WindowClass<TWindow::Preferences> { using Type = PreferencesDialog; };

} // namespace pixora
