#pragma once
// The shared error dialog ("Message") and the "please wait" box.

#include <QDialog>

class QLabel;
class QCheckBox;
class QPlainTextEdit;
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
    void End();
};

} // namespace pixora
