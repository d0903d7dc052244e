#include "window_kit/message_dialog.h"

#include "io/batch_conversion.h"
#include "window_kit/window_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace pixora {

namespace {
constexpr int kShortHeight = 154;
constexpr int kWidth = 345;

} // namespace

QString ErrorKindText(int kind, int failedFiles) {
    switch (kind) {
    case 1:
        return "An Error Occured while trying to Save.";
    case 2:
        return "Could Not Open File due to an Error while Opening.";
    case 3:
        return QString::fromStdString(BatchFailureText(failedFiles));
    default:
        return QString();
    }
}

MessageDialog::MessageDialog(QWidget* parent) : QDialog(parent) {
    NameWindow(this, TWindow::Message);
    setModal(true);
    auto* picture = new QLabel(this);
    picture->setObjectName("Image1");
    picture->setPixmap(QIcon(":/icons/message.svg").pixmap(48, 48));
    picture->setGeometry(16, 16, 48, 48);
    lblMessage_ = new QLabel(this);
    lblMessage_->setObjectName("lblMessage");
    lblMessage_->setWordWrap(true);
    lblMessage_->setGeometry(76, 16, kWidth - 92, 48);
    more_ = new QCheckBox("More Information", this);
    more_->setObjectName("CheckBox1");
    more_->setGeometry(16, 64, 200, 20);
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName("Memo1");
    memo_->setAccessibleName("Message");
    memo_->setReadOnly(true);
    memo_->hide();
    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("Button1");
    ok_->setDefault(true);
    ok_->setGeometry(kWidth / 2 - 40, 88, 80, 26);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(more_, &QCheckBox::toggled, this, &MessageDialog::ToggleMore);
    setFixedSize(kWidth, kShortHeight);
}

void MessageDialog::ToggleMore(bool on) {
    if (on) {
        setFixedSize(kWidth, height() + 80);
        ok_->move(ok_->x(), 158);
        memo_->setGeometry(16, 88, 313, 62);
        memo_->show();
    } else {
        setFixedSize(kWidth, height() - 80);
        ok_->move(ok_->x(), 88);
        memo_->hide();
    }
}

void MessageDialog::showEvent(QShowEvent* e) {
    more_->blockSignals(true);
    more_->setChecked(false);
    more_->blockSignals(false);
    memo_->hide();
    setFixedSize(kWidth, kShortHeight);
    ok_->move(ok_->x(), 88);
    CentreOnScreen(this);
    QDialog::showEvent(e);
}

void MessageDialog::done(int r) {
    // Each report shows only its own detail lines.
    memo_->clear();
    QDialog::done(r);
}

void MessageDialog::Report(int kind, const QString& detail, int failedFiles) {
    const QString text = ErrorKindText(kind, failedFiles);
    if (!text.isEmpty()) lblMessage_->setText(text);
    memo_->appendPlainText(detail);
    exec();
}

void MessageDialog::ReportProblem(const QString& headline, const QString& detail) {
    lblMessage_->setText(headline);
    if (!detail.isEmpty()) memo_->appendPlainText(detail);
    exec();
}

ProcessingBox::ProcessingBox(QWidget* parent) : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    NameWindow(this, TWindow::Processing);
    auto* picture = new QLabel(this);
    picture->setObjectName("Image1");
    picture->setPixmap(QIcon(":/icons/processing.svg").pixmap(32, 32));
    picture->setGeometry(12, 12, 32, 32);
    auto* text = new QLabel("Proccessing, Please Wait!", this);
    text->setObjectName("Label1");
    text->setGeometry(56, 12, 180, 32);
    progress_ = new QProgressBar(this);
    progress_->setObjectName("ProgressBar1");
    progress_->setGeometry(12, 54, 226, 20);
    progress_->setFormat("%v of %m file(s)");
    progress_->setAlignment(Qt::AlignCenter);
    cancelButton_ = new QPushButton("Cancel", this);
    cancelButton_->setObjectName("Button1");
    cancelButton_->setGeometry(88, 82, 75, 26);
    connect(cancelButton_, &QPushButton::clicked, this, [this] { cancel_ = true; });
    Layout(false);
}

void ProcessingBox::Layout(bool counted) {
    counted_ = counted;
    progress_->setVisible(counted);
    cancelButton_->setVisible(counted);
    setFixedSize(250, counted ? 118 : 56);
}

void ProcessingBox::Begin() {
    CentreOnScreen(this);
    show();
    raise();
    QApplication::processEvents();
}

void ProcessingBox::BeginCounted(int total) {
    cancel_ = false;
    Layout(true);
    progress_->setRange(0, std::max(total, 1));
    progress_->setValue(0);
    cancelButton_->setEnabled(true);
    setWindowModality(Qt::ApplicationModal);
    Begin();
}

void ProcessingBox::ShowProgress(int done, int total) {
    progress_->setMaximum(std::max(total, 1));
    progress_->setValue(done);
    QApplication::processEvents();
}

void ProcessingBox::End() {
    hide();
    if (counted_) {
        setWindowModality(Qt::NonModal);
        Layout(false);
    }
}

void ProcessingBox::closeEvent(QCloseEvent* e) {
    // Closing the box during counted work asks the work to stop; the work
    // closes the box when it has.
    if (counted_ && isVisible()) {
        cancel_ = true;
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void ProcessingBox::reject() {
    if (counted_ && isVisible()) {
        cancel_ = true;
        return;
    }
    QDialog::reject();
}

} // namespace pixora
