#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <chrono>
#include <cstdlib>
#include <utility>

#include "app/app_commands.h"
#include "app/file_drop.h"
#include "app/help_window.h"
#include "app/recovery_window.h"
#include "app/status_bar.h"
#include "app/tips_dialog.h"
#include "app/view_commands.h"
#include "app/view_controls.h"
#include "doc/checkerboard.h"
#include "doc/display_copy.h"
#include "doc/slots.h"
#include "doc/ui/layer_commands.h"
#include "effects/ui/colour_windows.h"
#include "effects/ui/filter_dialogs.h"
#include "history/history_folder.h"
#include "history/history_store.h"
#include "io/history_preference.h"
#include "history/ui/geometry_windows.h"
#include "history/ui/history_commands.h"
#include "history/ui/undo_history_dialog.h"
#include "io/file_slots.h"
#include "io/ini_file.h"
#include "io/preferences.h"
#include "io/recent_files.h"
#include "io/tips.h"
#include "io/ui/file_commands.h"
#include "tools/selection.h"
#include "tools/tool_set.h"
#include "tools/ui/option_boxes.h"
#include "tools/ui/text_editor.h"
#include "tools/ui/tool_commands.h"
#include "window_kit/accessible_names.h"
#include "window_kit/escape_keys.h"
#include "window_kit/message_dialog.h"
#include "window_kit/swatch.h"
#include "window_kit/up_down.h"
#include "window_kit/window_support.h"

// The icons are compiled into the window library; register them once.
static void InitResources() {
    Q_INIT_RESOURCE(pixora);
}

namespace pixora {

MainWindow::MainWindow(const QString& exeDir, QWidget* parent)
    : QMainWindow(parent), ws_(std::make_unique<Workspace>()) {
    InitResources();
    // Before any control exists: a control's reading is made once.
    new AccessibleNames(this);
    NameWindow(this, TWindow::Main);
    setWindowIcon(QIcon(":/icons/app.svg"));
    ws_->Port = this;
    QString dir = exeDir.isEmpty() ? QCoreApplication::applicationDirPath() : exeDir;
    if (!dir.endsWith('/')) dir += '/';
    ws_->SysData.ExeDir = dir.toStdString();
    FormCreate();
    // Every other window, once, in the start-up order.
    windows_.CreateAll(this, [](TWindow id, QWidget* owner) -> QWidget* {
        if (id == TWindow::Processing) return new ProcessingBox(owner);
        if (id == TWindow::Message) return new MessageDialog(owner);
        return nullptr;
    });
    // The subsystems' own windows in place of their frames.
    InstallViewWindows(*this);
    InstallFileWindows(*this);
    InstallAppWindows(*this);
    InstallHistoryLists(*this);
    InstallHistoryWindows(*this);
    InstallGeometryWindows(*this);
    InstallColourWindows(*this);
    InstallLayerWindows(*this);
    InstallOptionBoxes(*this);
    InstallFilterDialogs(*this);
    InstallFileDrop(*this);
    InstallRecovery(*this);
    new EscapeAsCancel(this);
    // Screen readers find every control named, in every window.
    NameUnnamedControls(this);
    for (QWidget* w : windows_.All())
        NameUnnamedControls(w);
    RefreshHistoryMenus();
}

MainWindow::~MainWindow() {
    if (!shutDown_) Shutdown();
    ws_->Port = nullptr;
}

MessageDialog* MainWindow::Messages() const {
    return Get<TWindow::Message>();
}
ProcessingBox* MainWindow::Processing() const {
    return Get<TWindow::Processing>();
}

void MainWindow::FormCreate() {
    resize(551, 382);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    activated_ = false;
    std::srand(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));

    PlaceCommands();
    body_ = new QWidget(this);
    body_->setObjectName("Body");
    body_->setMouseTracking(true);
    setCentralWidget(body_);
    BuildToolPanel();
    BuildEffectsPanel();
    BuildPages();
    BuildLayerSheet();
    status_ = new StatusBarWidget(body_);

    // Initialise.
    PrepareProgramFolders(ws_->Paths());
    ClearHistoryFolderAtStartup(*ws_, [this](const std::string& m) {
        QMessageBox::information(this, "Pixora", QString::fromStdString(m));
    });
    ApplyHistoryBudgetPreference(*ws_);
    ws_->SysData.OpenCount = -1;
    setWindowTitle("Pixora");
    for (int i = 0; i < kMaxOpenImages; ++i) {
        pageControl_->setTabVisible(i, false);
        TImages& s = ws_->Images[static_cast<std::size_t>(i)];
        s.HistoryCount = 0;
        s.HistoryPos = 0;
        s.ZoomNum = 1;
        s.ZoomDen = 1;
    }
    LoadRecentFiles(*ws_);
    ShowRecentFiles();
    UpdateCommandStates();
    ws_->CreateWorkBitmaps();
    cursors_.Load(ws_->Paths().Resources);

    // Watch the window's parts for hints and option-box dimming. Every part
    // of the body reports pointer moves, so that a move over any of them
    // dims the open option box.
    for (QWidget* w : findChildren<QWidget*>()) {
        w->installEventFilter(this);
        if (body_->isAncestorOf(w)) w->setMouseTracking(true);
    }
    RunLayout();
}

// ---- window port --------------------------------------------------------

int MainWindow::ActivePage() const {
    if (!pageControl_ || ws_->SysData.OpenCount < 0) return -1;
    const int i = pageControl_->currentIndex();
    if (i < 0 || i >= kMaxOpenImages || !pageControl_->isTabVisible(i)) return -1;
    return i;
}

void MainWindow::ShowTabPage(int slot, const std::string& caption) {
    if (ws_->Images[static_cast<std::size_t>(slot)].HasFile) fitOnShow_ = slot;
    pageControl_->setTabText(slot, QString::fromStdString(caption));
    pageControl_->setTabVisible(slot, true);
    pageControl_->setCurrentIndex(slot);
}

namespace {

// With no image left: no view, nothing under the pointer to read out, no size.
void ShowNoImage(ViewControls& view, StatusBarWidget& status) {
    view.HideAll();
    status.SetPanelText(0, QString());
    status.SetPanelText(1, "0 x 0");
}

} // namespace

void MainWindow::HideTabPage(int slot) {
    pageControl_->setTabVisible(slot, false);
    if (ws_->SysData.OpenCount < 0) {
        ShowNoImage(*view_, *status_);
        // The last image's tool boxes go with it.
        ShowSlotTool(*this, ToolNone);
    }
}

void MainWindow::TabChange() {
    // The window's part of the tab change (doc/tab_change.h runs it after
    // the core's part): lay out and show the active page.
    const TActiveImage active = ws_->ActiveImage();
    // The Undo/Redo captions and lists belong to the image now shown.
    RefreshHistoryMenus();
    if (!active) {
        ShowNoImage(*view_, *status_);
        UpdateCommandStates();
        return;
    }
    const int slot = active.Slot;
    TImages& s = *active;
    // The slot's zoom, laid out on the page that is now active.
    view_->SetPage(pageControl_->widget(slot));
    view_->Layout(RulersShown());
    // A picture larger than the view opens fitted, unless it should open at 100 %.
    if (std::exchange(fitOnShow_, -1) == slot && !OpenAtFullSize(*ws_)) view_->FitIfLarger(RulersShown());
    // Tool buttons, command states, layer thumbnail.
    ShowToolButtonState();
    UpdateCommandStates();
    RedrawLayerStrip(slot);
    // The option boxes and the cursor of the slot's tool.
    ShowSlotTool(*this, s.Tool);
    // The view controls move onto the active page.
    view_->MoveToPage();
    // Rulers for the zoomed image.
    view_->DrawRulerPictures();
    // The display copy, the swatches and the image size.
    RefreshView();
    PaintSwatches();
    ShowImageSize();
}

void MainWindow::ShowImageSize() {
    const TActiveImage s = ws_->ActiveImage();
    if (!s) return;
    // The size of the image as it is now: the background layer keeps its
    // old size through a crop, resize or rotation.
    QString text = QString("%1 x %2").arg(s->Bitmap.Width()).arg(s->Bitmap.Height());
    // While a shape, selection or crop rectangle is dragged, its size too.
    if (const auto span = ToolsOf(*ws_).DragSpan())
        text += QString("    drag %1 x %2").arg(std::abs(span->Right - span->Left)).arg(std::abs(span->Bottom - span->Top));
    status_->SetPanelText(1, text);
}

void MainWindow::RefreshView() {
    const TActiveImage s = ws_->ActiveImage();
    if (!s) return;
    const int slot = s.Slot;
    // Blended during a drag too: transparent parts keep their checkerboard.
    RefreshDisplayCopy(*ws_);
    DrawKeptSelection(*ws_);
    if (ws_->SysData.MouseDown != 1) RedrawLayerStrip(slot);
    view_->UpdateImage();
}

void MainWindow::RefreshViewArea(const TRect& area) {
    const TActiveImage s = ws_->ActiveImage();
    if (!s) return;
    if (RefreshDisplayCopyArea(*ws_, area)) {
        // The copy was made whole (its storage may be new).
        view_->UpdateImage();
    } else {
        view_->UpdateImageArea(area);
    }
    if (ws_->SysData.MouseDown != 1) RedrawLayerStrip(s.Slot);
}

void MainWindow::RedrawLayerStrip(int slot) {
    if (OnRedrawLayerStrip)
        OnRedrawLayerStrip(slot);
    else
        ShowLayerStrip(*this, slot);
}

void MainWindow::RefreshHistoryMenus() {
    ShowHistoryMenus(*this);
    // A step clears the image's saved mark.
    setWindowTitle(QString::fromStdString(MainWindowCaption(*ws_)));
    NoteRecoveryStep(*this);
    // Once the edit that refreshed the menus is done, its result is stored
    // behind it, so that a crash loses nothing.
    if (!newestQueued_) {
        newestQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                newestQueued_ = false;
                if (shutDown_) return;
                StoreNewestState(*ws_, ws_->ActiveSlot());
                // The tools' scratch of the edit is not needed until the next
                // press, nor a display copy that shows nothing but the image.
                RestTools(*ws_);
                RestDisplayCopy(*ws_);
            },
            Qt::QueuedConnection);
    }
}

QWidget* MainWindow::StatusBar() const {
    return status_;
}

QString MainWindow::PageCaption(int slot) const {
    return pageControl_->tabText(slot);
}

void MainWindow::RepaintView() {
    view_->UpdateImage();
}

void MainWindow::RepaintViewArea(const TRect& area) {
    view_->UpdateImageArea(area);
}

void MainWindow::SetCanvasCursor(int cursor) {
    // The sizing cursors are the platform's; the others the program's own.
    static constexpr std::pair<int, Qt::CursorShape> kSizing[] = {{kCursorSizeNWSE, Qt::SizeFDiagCursor},
                                                                  {kCursorSizeNESW, Qt::SizeBDiagCursor},
                                                                  {kCursorSizeNS, Qt::SizeVerCursor},
                                                                  {kCursorSizeWE, Qt::SizeHorCursor}};
    for (const auto& [number, shape] : kSizing)
        if (cursor == number) {
            view_->SetImageCursor(QCursor(shape));
            return;
        }
    view_->SetImageCursor(cursors_.Get(cursor));
}

void MainWindow::ShowSwatchColour(int which, int32_t colour) {
    (which == 0 ? shape1_ : shape2_)->SetColour(colour);
}

int MainWindow::ToolOption(TOpt id) const {
    return options_.Value(id);
}

void MainWindow::SetToolOption(TOpt id, int value) {
    options_.SetValue(id, value);
}

void MainWindow::TextToolPressed() {
    pixora::TextToolPressed(*this);
}

void MainWindow::ReportError(int kind, const std::string& detail) {
    Messages()->Report(kind, QString::fromStdString(detail));
}

void MainWindow::ReportProblem(const std::string& headline, const std::string& detail) {
    Messages()->ReportProblem(QString::fromStdString(headline), QString::fromStdString(detail));
}

void MainWindow::ShowStatusNote(const std::string& text) {
    status_->ShowNote(QString::fromStdString(text));
}

bool MainWindow::AskYesNo(const std::string& headline, const std::string& question) {
    return QMessageBox::question(this, "Pixora",
                                 QString::fromStdString(headline) + "\n\n" + QString::fromStdString(question),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

void MainWindow::UpdateCommandStates() {
    setWindowTitle(QString::fromStdString(MainWindowCaption(*ws_)));
    for (QAction* a : commands_) {
        const auto rule = static_cast<CommandRule>(a->property("rule").toInt());
        a->setEnabled(CommandEnabled(*ws_, rule, a->property("box").toInt()));
    }
    const QAction* sheetItem = Command("LayerSheet1");
    const bool sheet = LayerSheetAllowed(*ws_) && sheetItem && sheetItem->isChecked();
    if (layerSheet_->isVisible() != sheet) {
        layerSheet_->setVisible(sheet);
        RunLayout();
    }
}

// ---- layout -------------------------------------------------------------

void MainWindow::RunLayout() {
    if (!body_) return;
    const int W = body_->width(), H = body_->height();
    const int statusH = status_->height();
    const int sheetH = layerSheet_->isVisibleTo(body_) ? 70 : 0;
    status_->setGeometry(0, H - statusH, W, statusH);
    layerSheet_->setGeometry(0, H - statusH - sheetH, W, sheetH);
    const int mid = H - statusH - sheetH;
    panel1_->setGeometry(0, 0, 57, mid);
    panel2_->setGeometry(W - 70, 0, 70, mid);
    pageControl_->setGeometry(57, 0, std::max(0, W - 57 - 70), mid);

    // 1. The view of the active slot.
    if (ws_->ActiveImage()) view_->Layout(RulersShown());
    // 2. Layer sheet.
    upDown_->move(layerSheet_->width() - 35, upDown_->y());
    ilSheet_->setGeometry(ilSheet_->x(), ilSheet_->y(), std::max(0, layerSheet_->width() - 62),
                          ilSheet_->height());
    upDown_->SetMax(std::max(0, lsImage_->width() - ilSheet_->width()));
    // 3. Effects panel.
    toolBar3_->move(0, 0);
    toolBar4_->move(0, toolBar3_->height());
    upDown2_->move(upDown2_->x(), panel2_->height() - 35);
    effectsPanel_->setGeometry(effectsPanel_->x(), effectsPanel_->y(), effectsPanel_->width(),
                               std::max(0, panel2_->height() - 42));
    upDown2_->SetMax(std::max(0, toolBar3_->height() + toolBar4_->height() - effectsPanel_->height()));
    // An arrow turns a page of whole buttons, so every effect is a click or
    // two away.
    upDown2_->SetIncrement(EffectsPageStep(effectsPanel_->height()));
    upDown_->SetPosition(upDown_->Position());
    upDown2_->SetPosition(upDown2_->Position());
}

void MainWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    RunLayout();
}

// ---- tools and swatches -------------------------------------------------

void MainWindow::ShowToolButtonState() {
    const TActiveImage s = ws_->ActiveImage();
    const int tool = s ? s->Tool : 0;
    for (const auto& [number, button] : toolButtons_)
        button->setChecked(number == tool);
}

void MainWindow::ExchangeSwatches() {
    const TActiveImage s = ws_->ActiveImage();
    if (!s) return;
    ExchangeColours(*s);
    PaintSwatches();
}

void MainWindow::DefaultSwatches() {
    const TActiveImage s = ws_->ActiveImage();
    if (!s) return;
    SetDefaultColours(*s);
    PaintSwatches();
}

void MainWindow::PaintSwatches() {
    const TActiveImage s = ws_->ActiveImage();
    if (!s) return;
    shape1_->SetColour(s->FGColour);
    shape2_->SetColour(s->BGColour);
}

// ---- help, tips, recent files -------------------------------------------

bool MainWindow::OpenHelp() {
    const QString path = QString::fromStdString(ws_->Paths().HelpFile());
    if (!QFileInfo::exists(path)) return false;
    // The desktop's handler opens it; we do not wait for it. A desktop
    // without one gets the page in a window of our own.
    const QUrl page = QUrl::fromLocalFile(path);
    if (!(OnOpenDesktopPage ? OnOpenDesktopPage(page) : OpenWithDesktop(page))) ShowHelpWindow(this, path);
    return true;
}

bool MainWindow::FirstActivation() {
    if (activated_) return false;
    activated_ = true;
    if (!ShowTipsAtStartup(*ws_)) return false;
    if (OnShowTips)
        OnShowTips();
    else if (auto* tips = Get<TWindow::Tips>())
        tips->exec();
    return true;
}

void MainWindow::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && !activated_) {
        // Let the window finish showing before the tips come up.
        QMetaObject::invokeMethod(
            this, [this] { FirstActivation(); }, Qt::QueuedConnection);
    }
}

void MainWindow::ShowRecentFiles() {
    ShowRecentFileItems(*this);
}

// ---- shutdown -----------------------------------------------------------

void MainWindow::Shutdown() {
    shutDown_ = true;
    EndRecovery(*this);
    ClearHistoryFolder(*ws_, [this](const std::string& m) {
        QMessageBox::information(this, "Pixora", QString::fromStdString(m));
    });
    ws_->FreeWorkBitmaps();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (shutDown_) {
        e->accept();
        return;
    }
    // Closing all images may be refused by the user ("Cancel").
    if (!CloseAllForExit(*this)) {
        e->ignore();
        return;
    }
    Shutdown();
    for (QWidget* w : windows_.All())
        w->close();
    e->accept();
}

} // namespace pixora
