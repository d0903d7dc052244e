#include "app/message_dialog.h"

#include "app/window_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

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
        return QString("An Error Occured while trying to save %1 file(s).").arg(failedFiles);
    default:
        return QString();
    }
}

MessageDialog::MessageDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("TForm51");
    setWindowTitle("Message");
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
    setObjectName("TForm50");
    setWindowTitle("Proccessing - Please Wait");
    auto* picture = new QLabel(this);
    picture->setObjectName("Image1");
    picture->setPixmap(QIcon(":/icons/processing.svg").pixmap(32, 32));
    picture->setGeometry(12, 12, 32, 32);
    auto* text = new QLabel("Proccessing, Please Wait!", this);
    text->setObjectName("Label1");
    text->setGeometry(56, 12, 180, 32);
    setFixedSize(250, 56);
}

void ProcessingBox::Begin() {
    CentreOnScreen(this);
    show();
    raise();
    QApplication::processEvents();
}

void ProcessingBox::End() { hide(); }

} // namespace pixora
