#include "app/recovery_window.h"

#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "doc/slots.h"
#include "io/recovery_keeper.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

// Owns the keeper and its timer; a child of the main window.
class RecoveryWatch : public QObject {
public:
    explicit RecoveryWatch(WindowHost& host)
        : QObject(host.Owner()), host_(host), keeper_(host.Ws().Paths().Recovery) {
        setObjectName("RecoveryWatch");
        timer_.setInterval(kRecoveryIntervalSeconds * 1000);
        connect(&timer_, &QTimer::timeout, this, [this] { keeper_.Refresh(host_.Ws()); });
        timer_.start();
    }
    TRecoveryKeeper& Keeper() { return keeper_; }

private:
    WindowHost& host_;
    TRecoveryKeeper keeper_;
    QTimer timer_;
};

RecoveryWatch* WatchOf(WindowHost& host) {
    QObject* found = host.Owner()
                         ? host.Owner()->findChild<QObject*>("RecoveryWatch", Qt::FindDirectChildrenOnly)
                         : nullptr;
    return static_cast<RecoveryWatch*>(found);
}

QString Describe(const TRecoverable& r) {
    const QString when = QDateTime::fromMSecsSinceEpoch(r.Written).toString("yyyy-MM-dd hh:mm:ss");
    const QString steps = r.Steps() > 0 ? QString(", %1 undo steps").arg(r.Steps()) : QString();
    return QString::fromStdString(FileNamePart(r.Name)) +
           QString("  (%1 x %2%3, kept %4)").arg(r.Width).arg(r.Height).arg(steps).arg(when);
}

} // namespace

void InstallRecovery(WindowHost& host) {
    if (WatchOf(host)) return;
    auto* watch = new RecoveryWatch(host);
    QMetaObject::invokeMethod(
        watch, [&host] { OfferRecovery(host); }, Qt::QueuedConnection);
}

void NoteRecoveryStep(WindowHost& host) {
    if (RecoveryWatch* w = WatchOf(host)) w->Keeper().NoteHistoryStep(host.Ws(), host.Ws().ActiveSlot());
}

void EndRecovery(WindowHost& host) {
    if (RecoveryWatch* w = WatchOf(host)) w->Keeper().RemoveAll();
}

TRecoveryKeeper* RecoveryKeeperOf(WindowHost& host) {
    RecoveryWatch* w = WatchOf(host);
    return w ? &w->Keeper() : nullptr;
}

RecoveryDialog::RecoveryDialog(WindowHost& host, std::vector<TRecoverable> copies)
    : QDialog(host.Owner()), host_(host), copies_(std::move(copies)),
      left_(static_cast<int>(copies_.size())) {
    setObjectName("RecoveryDialog");
    setWindowTitle("Recover Images");
    auto* layout = new QVBoxLayout(this);
    auto* intro =
        new QLabel("Pixora did not close normally. These images had changes that were not saved:", this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* grid = new QGridLayout;
    for (int i = 0; i < static_cast<int>(copies_.size()); ++i) {
        auto* label = new QLabel(Describe(copies_[static_cast<std::size_t>(i)]), this);
        auto* recover = new QPushButton("Recover", this);
        auto* discard = new QPushButton("Discard", this);
        recover->setObjectName(QString("Recover%1").arg(i));
        discard->setObjectName(QString("Discard%1").arg(i));
        grid->addWidget(label, i, 0);
        grid->addWidget(recover, i, 1);
        grid->addWidget(discard, i, 2);
        connect(recover, &QPushButton::clicked, this, [this, i] { Done(i, true); });
        connect(discard, &QPushButton::clicked, this, [this, i] { Done(i, false); });
        rows_.push_back(label);
    }
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* close = new QPushButton("Close", this);
    close->setObjectName("btnClose");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(close);
    layout->addLayout(buttons);
}

void RecoveryDialog::Done(int row, bool recover) {
    const TRecoverable& copy = copies_[static_cast<std::size_t>(row)];
    if (recover) {
        const int slot = RecoverImage(host_.Ws(), copy);
        if (slot < 0) return; // reported; the row stays for another try
        recovered_.push_back(slot);
        host_.UpdateCommandStates();
    } else {
        DiscardRecoverable(copy);
    }
    for (const char* kind : {"Recover%1", "Discard%1"})
        if (auto* b = findChild<QPushButton*>(QString(kind).arg(row))) b->setEnabled(false);
    rows_[static_cast<std::size_t>(row)]->setEnabled(false);
    if (--left_ == 0) accept();
}

std::vector<int> OfferRecovery(WindowHost& host) {
    RecoveryWatch* watch = WatchOf(host);
    if (!watch) return {};
    std::vector<TRecoverable> copies =
        FindRecoverable(watch->Keeper().Folder(), host.Ws().Paths().History, watch->Keeper().Run());
    if (copies.empty()) return {};
    RecoveryDialog dialog(host, std::move(copies));
    dialog.exec();
    return dialog.Recovered();
}

} // namespace pixora
