#include "io/ui/preferences_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "history/history_budget.h"
#include "io/history_preference.h"
#include "window_kit/window_host.h"

namespace pixora {

PreferencesDialog::PreferencesDialog(WindowHost& host)
    : CentredDialog(host.Owner(), TWindow::Preferences, 380, 178), host_(host) {
    auto* group = new QGroupBox("Undo history", this);
    group->setObjectName("GroupBox1");
    group->setGeometry(8, 8, 364, 124);
    automatic_ = new QCheckBox("Automatic: a quarter of the free space, at most 8 GB", group);
    automatic_->setObjectName("HistoryAutomatic");
    automatic_->setGeometry(12, 22, 344, 22);
    auto* label = new QLabel("Disk space for undo steps (MB):", group);
    label->setObjectName("Label1");
    label->setGeometry(12, 52, 210, 22);
    megabytes_ = new QSpinBox(group);
    megabytes_->setObjectName("HistoryMegabytes");
    megabytes_->setRange(1, static_cast<int>(kHistoryBudgetMaxMb));
    megabytes_->setGeometry(226, 52, 126, 24);
    now_ = new QLabel(group);
    now_->setObjectName("HistoryNow");
    now_->setGeometry(12, 86, 344, 22);
    connect(automatic_, &QCheckBox::toggled, this, [this] { ShowAutomatic(); });
    QPushButton* ok = MakeOkButton(this, 212, 142);
    MakeCancelButton(this, 296, 142);
    disconnect(ok, nullptr, this, nullptr);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (Apply()) accept();
    });
}

void PreferencesDialog::Fill() {
    const uint64_t mb = ReadHistoryBudgetPreference(host_.Ws());
    automatic_->setChecked(mb == 0);
    // The automatic budget is offered as the starting number.
    megabytes_->setValue(static_cast<int>(
        mb > 0 ? mb : std::max<uint64_t>(1, std::min<uint64_t>(HistoryBudget(host_.Ws()) >> 20, kHistoryBudgetMaxMb))));
    ShowAutomatic();
}

void PreferencesDialog::ShowAutomatic() {
    megabytes_->setEnabled(!automatic_->isChecked());
    now_->setText(QString::fromStdString("The history may take " + Megabytes(HistoryBudget(host_.Ws())) + " now."));
}

bool PreferencesDialog::Apply() {
    const uint64_t mb = automatic_->isChecked() ? 0 : static_cast<uint64_t>(megabytes_->value());
    return SaveHistoryBudgetPreference(host_.Ws(), mb);
}

void PreferencesDialog::showEvent(QShowEvent* e) {
    Fill();
    CentredDialog::showEvent(e);
}

void ShowPreferences(WindowHost& host) {
    if (auto* d = host.Get<TWindow::Preferences>()) d->exec();
}

} // namespace pixora
