// "Save Changes?": the images about to be closed unsaved, each with a
// thumbnail; a click toggles whether "Save Selected" saves it.
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

#include "io/save_changes_list.h"
#include "io/ui/save_changes_dialog.h"

#include "window_kit/window_support.h"

namespace pixora {

namespace {
constexpr int kPanelLeft = 8, kPanelTop = 36, kPanelWidth = 330, kPanelHeight = 210;
constexpr int kBarWidth = 17;
} // namespace

SaveChangesDialog::SaveChangesDialog(QWidget* parent)
    : CentredDialog(parent, TWindow::SaveChanges, 346, 290) {
    auto* label = new QLabel("These Images have been modified, but not Saved.", this);
    label->setObjectName("Label1");
    label->setGeometry(8, 10, 330, 20);
    panel_ = new QWidget(this);
    panel_->setObjectName("Panel1");
    panel_->setGeometry(kPanelLeft, kPanelTop, kPanelWidth, kPanelHeight);
    SetBackground(panel_, Qt::white);
    image_ = new QLabel(panel_);
    image_->setObjectName("Image1");
    image_->installEventFilter(this);
    bar_ = new QScrollBar(Qt::Vertical, panel_);
    bar_->setObjectName("ScrollBar1");
    bar_->setGeometry(kPanelWidth - kBarWidth, 0, kBarWidth, kPanelHeight);
    bar_->hide();
    connect(bar_, &QScrollBar::valueChanged, this, [this](int v) { image_->move(0, -v); });

    struct B {
        const char* Caption;
        const char* Name;
        TSaveChangesAnswer Answer;
        int X;
    };
    for (const B& b : {B{"Save Selected", "Button1", TSaveChangesAnswer::SaveSelected, 8},
                       B{"Discard Changes", "Button2", TSaveChangesAnswer::Discard, 126},
                       B{"Cancel", "Button3", TSaveChangesAnswer::Cancel, 244}}) {
        auto* button = new QPushButton(b.Caption, this);
        button->setObjectName(b.Name);
        button->setGeometry(b.X, 254, 110, 26);
        const TSaveChangesAnswer answer = b.Answer;
        connect(button, &QPushButton::clicked, this, [this, answer] {
            answer_ = answer;
            accept();
        });
    }
}

void SaveChangesDialog::Fill(const Workspace& ws, const std::vector<int>& listed, const std::vector<int>& selected) {
    slots_ = listed;
    images_.clear();
    selected_.clear();
    for (int i : listed) {
        images_.push_back(&ws.Images[static_cast<std::size_t>(i)]);
        selected_.push_back(std::find(selected.begin(), selected.end(), i) != selected.end());
    }
    DrawSaveList(list_, kPanelWidth - kBarWidth, images_, selected_);
    ShowList();
}

void SaveChangesDialog::ShowList() {
    image_->setPixmap(QPixmap::fromImage(PictureOf(list_)));
    image_->setGeometry(0, 0, list_.Width(), list_.Height());
    const int excess = list_.Height() - kPanelHeight;
    if (excess > 0) {
        bar_->setRange(0, excess);
        bar_->setPageStep(kPanelHeight);
        bar_->setValue(0);
        bar_->show();
        bar_->raise();
    } else {
        bar_->setValue(0);
        bar_->hide();
    }
}

void SaveChangesDialog::ReleaseAt(int y) {
    const int row = SaveListRowAt(y, static_cast<int>(images_.size()));
    if (row < 0) return;
    const auto r = static_cast<std::size_t>(row);
    selected_[r] = !selected_[r];
    DrawSaveListText(list_, row, *images_[r], selected_[r]);
    image_->setPixmap(QPixmap::fromImage(PictureOf(list_)));
}

TSaveChangesAnswer SaveChangesDialog::Ask(const Workspace& ws, const std::vector<int>& listed,
                                          std::vector<int>& selected) {
    Fill(ws, listed, selected);
    answer_ = TSaveChangesAnswer::Cancel;
    exec();
    selected.clear();
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (selected_[i]) selected.push_back(slots_[i]);
    images_.clear();
    return answer_;
}

bool SaveChangesDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == image_ && event->type() == QEvent::MouseButtonRelease) {
        // The label moves with the scroll bar, so its own y is the list's.
        ReleaseAt(static_cast<QMouseEvent*>(event)->position().toPoint().y());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pixora
