#include "tools/ui/library_box.h"

#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>

#include "io/ui/file_commands.h"
#include "tools/pattern_fill.h"
#include "tools/tool_table.h"
#include "window_kit/option_controls.h"
#include "window_kit/window_host.h"
#include "window_kit/window_support.h"
#include "window_kit/value_box.h"

namespace pixora {

namespace {

constexpr int kPictureWidth = 240;
constexpr int kPanelHeight = 250;
constexpr int kScrollWidth = 17;

} // namespace

LibraryBox::LibraryBox(WindowHost& w, Kind kind) : QDialog(w.Owner()), w_(w), kind_(kind) {
    setModal(true);
    KeepPlace(this, [this]() -> std::optional<QPoint> { return CentredOnScreen(this); });
    setFixedSize(kPictureWidth + kScrollWidth + 16, kPanelHeight + 104);
    panel_ = new QWidget(this);
    panel_->setObjectName("Panel1");
    panel_->setGeometry(8, 8, kPictureWidth + kScrollWidth, kPanelHeight);
    SetBackground(panel_, Qt::white);
    image_ = new QLabel(panel_);
    image_->setObjectName("Image1");
    image_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image_->setGeometry(0, 0, kPictureWidth, 0);
    image_->installEventFilter(this);
    scroll_ = new QScrollBar(Qt::Vertical, panel_);
    scroll_->setObjectName("ScrollBar1");
    scroll_->setGeometry(kPictureWidth, 0, kScrollWidth, kPanelHeight);
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int v) { image_->move(0, -v); });

    // The occupation of the custom brush; the pattern library's is alike.
    const TOptionRow& occupation = OptionRow(TOpt::CustomBrushOccupation);
    auto* group = new QGroupBox(OptionText(occupation.Caption), this);
    group->setObjectName("GroupBox1");
    group->setGeometry(8, kPanelHeight + 12, kPictureWidth + kScrollWidth, 52);
    occ_ = static_cast<QSlider*>(MakeOptionControl(occupation, group));
    if (kind == Kind::Brushes) w.Options().Bind(occupation.Id, occ_);
    occ_->setTickPosition(QSlider::TicksBelow);
    occ_->setTickInterval(10);
    occ_->setGeometry(8, 18, kPictureWidth + kScrollWidth - 16, 28);
    AddValueBox(occ_);

    int n = 0;
    for (const char* caption : {"OK", "Cancel", "Import", "Delete"}) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString("Button%1").arg(++n));
        b->setGeometry(8 + (n - 1) * 65, kPanelHeight + 70, 60, 25);
        if (n == 1) {
            b->setDefault(true);
            connect(b, &QPushButton::clicked, this, &LibraryBox::Ok);
        } else if (n == 2) {
            connect(b, &QPushButton::clicked, this, &QDialog::reject);
        } else if (n == 3) {
            connect(b, &QPushButton::clicked, this, [this] {
                const QString path = AskOpenFile(w_);
                if (!path.isEmpty()) Import(path);
            });
        } else {
            connect(b, &QPushButton::clicked, this, &LibraryBox::Delete);
        }
    }
}

TLibrary LibraryBox::Library() const {
    const TProgramPaths& paths = w_.Ws().Paths();
    return TLibrary(kind_ == Kind::Patterns ? paths.Patterns : paths.Brushes);
}

void LibraryBox::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    scroll_->setValue(0);
    Redraw(1);
}

void LibraryBox::Redraw(int select) {
    std::vector<std::string> failures;
    picture_ = DrawLibrary(Library(), kPictureWidth, failures);
    if (!failures.empty()) {
        std::string detail;
        for (const std::string& f : failures)
            detail += (detail.empty() ? "" : "\n") + f;
        w_.Ws().Port->ReportError(2, detail);
    }
    ChooseEntry(picture_, std::min(select, static_cast<int>(picture_.Cells.size())));
    const int max = std::max(picture_.Picture.Height() - kPanelHeight, 0);
    scroll_->setVisible(max > 0);
    scroll_->setRange(0, max);
    scroll_->setPageStep(kPanelHeight);
    ShowPicture();
}

void LibraryBox::ShowPicture() {
    image_->resize(kPictureWidth, picture_.Picture.Height());
    if (picture_.Picture.Empty())
        image_->clear();
    else
        image_->setPixmap(QPixmap::fromImage(PictureOf(picture_.Picture)));
}

void LibraryBox::PressPicture(int x, int y) {
    const int k = EntryAt(picture_, x, y);
    if (k == 0) return;
    ChooseEntry(picture_, k);
    ShowPicture();
}

bool LibraryBox::eventFilter(QObject* watched, QEvent* e) {
    if (watched == image_ && e->type() == QEvent::MouseButtonPress) {
        const QPoint p = static_cast<QMouseEvent*>(e)->position().toPoint();
        PressPicture(p.x(), p.y());
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void LibraryBox::Ok() {
    Workspace& ws = w_.Ws();
    if (kind_ == Kind::Patterns)
        FillWithPattern(ws, Library(), Selected(), occ_->value());
    else
        UseLibraryBrush(ws, Library(), Selected());
    accept();
}

void LibraryBox::Import(const QString& path) {
    if (ImportIntoLibrary(w_.Ws(), Library(), path.toStdString()) > 0) Redraw(Selected());
}

void LibraryBox::Delete() {
    if (Library().Remove(Selected())) Redraw(Selected());
}

void ShowPatterns(WindowHost& w) {
    if (!w.Ws().ActiveImage()) return;
    if (auto* box = w.Get<TWindow::Patterns>()) box->exec();
}

void ArchivePattern(WindowHost& w) {
    auto* box = w.Get<TWindow::Patterns>();
    if (box && ArchiveAsPattern(w.Ws(), box->Library()) > 0) box->exec();
}

void ArchiveBrush(WindowHost& w) {
    auto* box = w.Get<TWindow::CustomBrush>();
    if (box && ArchiveAsBrush(w.Ws(), box->Library()) > 0) box->exec();
}

} // namespace pixora
