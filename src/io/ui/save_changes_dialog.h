#pragma once

#include <vector>

#include "doc/workspace.h"
#include "io/file_questions.h"
#include "window_kit/window_class.h"
#include "window_kit/window_support.h"

class QLabel;
class QScrollBar;

namespace pixora {

// "Save Changes?" (TForm54).
class SaveChangesDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit SaveChangesDialog(QWidget* parent = nullptr);

    // Lists the given slots, those in `selected` selected, and shows the
    // dialog modally. `selected` receives the chosen slots for SaveSelected.
    TSaveChangesAnswer Ask(const Workspace& ws, const std::vector<int>& listed, std::vector<int>& selected);

    // A button release over the list at list height y.
    void ReleaseAt(int y);
    const std::vector<bool>& Selection() const { return selected_; }
    const Bitmap& ListBitmap() const { return list_; }
    QScrollBar* ScrollBar() const { return bar_; }

    // Fills the list without showing the dialog; the slots in `selected`
    // start selected.
    void Fill(const Workspace& ws, const std::vector<int>& listed, const std::vector<int>& selected);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowList();

    QWidget* panel_;
    QLabel* image_;
    QScrollBar* bar_;
    std::vector<const TImages*> images_;
    std::vector<int> slots_;
    std::vector<bool> selected_;
    Bitmap list_;
    TSaveChangesAnswer answer_ = TSaveChangesAnswer::Cancel;
};

template <> struct WindowClass<TWindow::SaveChanges> { using Type = SaveChangesDialog; };

} // namespace pixora
