#pragma once
// The shared error dialog ("Message") and the "please wait" box.

#include <QDialog>
#include <atomic>

#include "window_kit/window_class.h"

class QLabel;
class QCheckBox;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace pixora {

// Error kinds: 1 saving, 2 opening, 3 batch conversion (with the count of
// failed files).
QString ErrorKindText(int kind, int failedFiles = 0);

class MessageDialog : public QDialog {
    Q_OBJECT
public:
    explicit MessageDialog(QWidget* parent = nullptr);

    // Sets the kind's text (other kinds leave the label as it is), adds the
    // error's message to the details and shows the dialog modally.
    void Report(int kind, const QString& detail, int failedFiles = 0);
    // The same with a headline of the report's own.
    void ReportProblem(const QString& headline, const QString& detail);

    QLabel* Label() const { return lblMessage_; }
    QPlainTextEdit* Memo() const { return memo_; }
    QCheckBox* MoreInfo() const { return more_; }
    QPushButton* OkButton() const { return ok_; }

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    void ToggleMore(bool on);

    QLabel* lblMessage_;
    QCheckBox* more_;
    QPlainTextEdit* memo_;
    QPushButton* ok_;
};

// "Proccessing - Please Wait": shown without waiting while long work runs.
class ProcessingBox : public QDialog {
    Q_OBJECT
public:
    explicit ProcessingBox(QWidget* parent = nullptr);
    // Shows the box centred and lets it paint before the work starts.
    void Begin();
    // The same for work on a number of files: a progress bar counts them and
    // "Cancel" (or closing the box) raises the cancel flag. While the box is
    // up no other window takes input, so nothing can start the work again
    // or change what it works on.
    void BeginCounted(int total);
    // Shows how many files are done and lets the window system process
    // pending messages, so the box paints and its Cancel can act.
    void ShowProgress(int done, int total);
    const std::atomic<bool>* CancelFlag() const { return &cancel_; }
    bool CancelRequested() const { return cancel_.load(); }
    void End();

    QProgressBar* Progress() const { return progress_; }
    QPushButton* CancelButton() const { return cancelButton_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void Layout(bool counted);

    QProgressBar* progress_;
    QPushButton* cancelButton_;
    std::atomic<bool> cancel_{false};
    bool counted_ = false;
};

template <> struct WindowClass<TWindow::Message> { using Type = MessageDialog; };
template <> struct WindowClass<TWindow::Processing> { using Type = ProcessingBox; };

} // namespace pixora
