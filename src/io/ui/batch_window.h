#pragma once
// "Batch File Proccessing" (TForm33): a window that stays on top without
// holding up the others. The user lists files, picks a destination folder
// and format, and converts them all; no document takes part.

#include <QDialog>
#include <vector>

#include "io/batch_conversion.h"
#include "window_kit/window_class.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace pixora {

class WindowHost;

class BatchWindow : public QDialog {
    Q_OBJECT
public:
    explicit BatchWindow(WindowHost& host);

    // The listed files, each name paired with its path, in list order.
    const std::vector<TBatchSource>& Sources() const { return sources_; }

    // "Add Files": the open dialog with several files at once; a new choice
    // replaces the list, a cancelled one keeps it.
    void AddFiles();
    // "Delete Selected".
    void DeleteSelected();
    // "Browse": the folder browser; cancelling clears the folder.
    void Browse();
    // "Convert Files": with a folder and files, asks the format's options,
    // converts every file under the wait box and reports failures or a
    // cancel; then (and without folder or files at once) closes.
    void ConvertFiles();
    // "Choose Recipe": a recipe file for "Apply recipe"; cancelling keeps the
    // one chosen before.
    void ChooseRecipe();

protected:
    void showEvent(QShowEvent* e) override;

private:
    SaveOptions AskOptions(const std::string& extension);
    void Report(const TConversionRun& run, int total);
    void ShowNames();

    WindowHost& host_;
    std::vector<TBatchSource> sources_;
    QListWidget* files_;
    QLineEdit* df_;
    QComboBox* ds_;
    QCheckBox* applyRecipe_;
    QLineEdit* recipe_;
    bool running_ = false;
};

// File "Convert File(s)": shows the window.
void ShowBatchWindow(WindowHost& host);

template <> struct WindowClass<TWindow::Batch> { using Type = BatchWindow; };

} // namespace pixora
