#include "history/ui/undo_history_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>

#include "history/history_store.h"
#include "history/image_reset.h"
#include "history/undo_history_list.h"
#include "tools/tool_table.h"
#include "tools/ui/option_box_window.h"
#include "tools/ui/tool_commands.h"
#include "window_kit/window_host.h"
#include "window_kit/window_support.h"
#include "window_kit/value_box.h"

namespace pixora {

namespace {

constexpr int kListWidth = 192; // the panel less its scroll bar

QPushButton* Button(QWidget* owner, const char* name, const QString& caption, int x, int y) {
    auto* b = new QPushButton(caption, owner);
    b->setObjectName(name);
    b->setGeometry(x, y, 75, 25);
    return b;
}

} // namespace

UndoHistoryDialog::UndoHistoryDialog(WindowHost& w) : QDialog(w.Owner()), w_(w) {
    setModal(true);
    setFixedSize(254, 280);
    KeepPlace(this, [this]() -> std::optional<QPoint> { return CentredOnScreen(this); });
    auto* group = new QGroupBox("Undo History", this);
    group->setObjectName("GroupBox1");
    group->setGeometry(8, 8, 238, 228);
    auto* panel = new QWidget(group);
    panel->setObjectName("Panel1");
    panel->setGeometry(14, 18, 209, kHistoryPanelHeight);
    SetBackground(panel, Qt::white);
    inner_ = new QWidget(panel);
    inner_->setObjectName("Panel2");
    inner_->setGeometry(0, 0, kListWidth, kHistoryPanelHeight);
    image_ = new QLabel(inner_);
    image_->setObjectName("Image");
    image_->setGeometry(0, 0, kListWidth, kHistoryPanelHeight);
    image_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image_->installEventFilter(this);
    scroll_ = new QScrollBar(Qt::Vertical, panel);
    scroll_->setObjectName("ScrollBar");
    scroll_->setGeometry(kListWidth, 0, 209 - kListWidth, kHistoryPanelHeight);
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int v) { inner_->move(0, -v); });
    QPushButton* ok = Button(this, "Button1", "OK", 90, 246);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &UndoHistoryDialog::Ok);
    connect(Button(this, "Button2", "Cancel", 171, 246), &QPushButton::clicked, this, &QDialog::reject);
}

void UndoHistoryDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    const TActiveImage s = w_.Ws().ActiveImage();
    // The snapshot on screen, or one past the last stored one while the
    // newest state is not stored yet.
    selected_ = s ? s->HistoryPos + 1 : 0;
    scroll_->setValue(0);
    DrawList();
}

void UndoHistoryDialog::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    list_ = Bitmap();
    image_->clear();
}

void UndoHistoryDialog::DrawList() {
    const TActiveImage s = w_.Ws().ActiveImage();
    if (!s) return;
    // The chosen row in the palette's highlight, as every list shows it.
    const QPalette& p = palette();
    const QColor high = p.color(QPalette::Active, QPalette::Highlight);
    const QColor text = p.color(QPalette::Active, QPalette::HighlightedText);
    DrawHistoryList(*s, selected_, kListWidth, list_,
                    {RGBColour(high.red(), high.green(), high.blue()),
                     RGBColour(text.red(), text.green(), text.blue())});
    const int h = list_.Height();
    inner_->resize(kListWidth, h);
    image_->resize(kListWidth, h);
    const int max = HistoryScrollMax(s->HistoryCount);
    scroll_->setVisible(max > 0);
    scroll_->setRange(0, max);
    scroll_->setPageStep(kHistoryPanelHeight);
    // A notch of the wheel (three steps) moves a row.
    scroll_->setSingleStep(kHistoryRowHeight / 3);
    image_->setPixmap(QPixmap::fromImage(PictureOf(list_)));
}

void UndoHistoryDialog::PressList(int y) {
    const TActiveImage s = w_.Ws().ActiveImage();
    const int row = s ? HistoryRowAt(y, s->HistoryCount) : 0;
    if (row == 0) return; // between rows
    selected_ = row;
    DrawList();
}

bool UndoHistoryDialog::eventFilter(QObject* watched, QEvent* e) {
    if (watched == image_ && e->type() == QEvent::MouseButtonPress) {
        PressList(static_cast<QMouseEvent*>(e)->position().toPoint().y());
        return true;
    }
    // The wheel over the list scrolls it, as over its bar.
    if (watched == image_ && e->type() == QEvent::Wheel && scroll_->isVisible()) {
        QCoreApplication::sendEvent(scroll_, e);
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void UndoHistoryDialog::Ok() {
    const TActiveImage s = w_.Ws().ActiveImage();
    const bool brush = s && s->Tool == ToolHistoryBrush;
    if (s) {
        if (brush)
            LoadHistoryBrushSource(w_.Ws(), selected_ - 1);
        else
            JumpToHistoryStep(w_.Ws(), selected_ - 1);
    }
    accept();
    w_.UpdateCommandStates();
    if (brush)
        if (QWidget* options = w_.Window(TWindow::HistoryBrushOptions)) options->show();
}

ResetImageDialog::ResetImageDialog(WindowHost& w) : QDialog(w.Owner()), w_(w) {
    setModal(true);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(280, 99);
    // First just above the main window's status bar, centred across the screen.
    KeepPlace(this, [this]() -> std::optional<QPoint> { return PlaceAboveStatusBar(w_, this); });
    auto* label = new QLabel("Percent of Original Image:", this);
    label->setObjectName("Label1");
    label->setGeometry(8, 8, 264, 16);
    p_ = new QSlider(Qt::Horizontal, this);
    p_->setObjectName("P");
    p_->setRange(1, 100);
    p_->setValue(100);
    p_->setTickPosition(QSlider::TicksBelow);
    p_->setTickInterval(10);
    p_->setGeometry(8, 28, 264, 30);
    AddValueBox(p_);
    QPushButton* ok = Button(this, "Button1", "OK", 116, 66);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        ResetImage(w_.Ws(), p_->value());
        accept();
    });
    connect(Button(this, "Button2", "Cancel", 197, 66), &QPushButton::clicked, this, &QDialog::reject);
}


void ShowUndoHistory(WindowHost& w) {
    if (!w.Ws().ActiveImage()) return;
    ChooseTool(w, ToolNone);
    if (auto* d = w.Get<TWindow::UndoHistory>()) d->exec();
}

void ShowResetImage(WindowHost& w) {
    if (!w.Ws().ActiveImage()) return;
    if (auto* d = w.Get<TWindow::Reset>()) d->exec();
}

void InstallHistoryWindows(WindowHost& w) {
    w.Install<TWindow::UndoHistory>(new UndoHistoryDialog(w));
    w.Install<TWindow::Reset>(new ResetImageDialog(w));
}

} // namespace pixora
