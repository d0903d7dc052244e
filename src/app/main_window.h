#pragma once
// The main window "Pixora" (TForm1): menus, tool bars, tool and effect
// panels, the tab pages with the view, the layer sheet and the status bar.
// It places the subsystems' commands, implements the core's window port and
// is the host the subsystems' windows ask (window_host.h).

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "app/cursors.h"
#include "app/window_set.h"
#include "doc/view_geometry.h"
#include "doc/workspace.h"
#include "window_kit/command_states.h"
#include "window_kit/command_table.h"
#include "window_kit/option_controls.h"
#include "window_kit/window_host.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QScrollBar;
class QTabWidget;
class QToolBar;
class QToolButton;
class QUrl;

namespace pixora {

class MessageDialog;
class ProcessingBox;
class StatusBarWidget;
class UpDown;
class ViewControls;
class SwatchWidget;

// How far an arrow of the effects panel scrolls with `visibleHeight` of it
// shown: the whole buttons that fit, at least one.
int EffectsPageStep(int visibleHeight);

class MainWindow : public QMainWindow, public WindowPort, public WindowHost {
    Q_OBJECT
public:
    // exeDir: the program folder with a trailing '/'; empty = the folder of
    // the running binary.
    explicit MainWindow(const QString& exeDir = QString(), QWidget* parent = nullptr);
    ~MainWindow() override;

    const WindowSet& Windows() const { return windows_; }
    // A window by its object name (its designer name), for those who know the
    // windows by those names only; the program reaches them by id.
    QWidget* Window(const QString& objectName) const { return Window(WindowNamed(objectName.toStdString())); }
    const CursorSet& Cursors() const { return cursors_; }
    StatusBarWidget* Status() const { return status_; }
    MessageDialog* Messages() const;
    ProcessingBox* Processing() const;
    QTabWidget* Pages() const { return pageControl_; }
    ViewControls* View() const { return view_; }
    QMenu* ImagePopup() const { return popup_; }

    // WindowHost
    Workspace& Ws() override { return *ws_; }
    QWidget* Owner() override { return this; }
    QWidget* Window(TWindow id) const override { return windows_.Find(id); }
    void PlaceWindow(TWindow id, QWidget* window) override { windows_.Replace(id, window); }
    QAction* Command(const QString& name) const override;
    QWidget* StatusBar() const override;
    QString PageCaption(int slot) const override;
    QLabel* LayerStripImage() const override { return lsImage_; }
    UpDown* LayerStripUpDown() const override { return upDown_; }
    SwatchWidget* Swatch(int which) const override { return which == 0 ? shape1_ : shape2_; }
    OptionControls& Options() override { return options_; }
    void ShowToolButtonState() override;
    void ShowRecentFiles() override;

    // WindowPort
    int ActivePage() const override;
    void ShowTabPage(int slot, const std::string& caption) override;
    void HideTabPage(int slot) override;
    void TabChange() override;
    void RefreshView() override;
    void RefreshViewArea(const TRect& area) override;
    void UpdateCommandStates() override;
    void RedrawLayerStrip(int slot) override;
    void ReportError(int kind, const std::string& detail) override;
    int ToolOption(TOpt id) const override;
    void RepaintView() override;
    void RepaintViewArea(const TRect& area) override;
    void SetCanvasCursor(int cursor) override;
    void ShowSwatchColour(int which, int32_t colour) override;
    void RefreshHistoryMenus() override;
    void ShowStatusNote(const std::string& text) override;
    bool AskYesNo(const std::string& headline, const std::string& question) override;
    void ReportProblem(const std::string& headline, const std::string& detail) override;
    void SetToolOption(TOpt id, int value) override;
    void TextToolPressed() override;

    // The layout routine: view, layer sheet and effects panel.
    void RunLayout();
    // Sets the active slot's zoom (a pair the view cannot take is refused)
    // and lays the view out again.
    void ApplyZoom(const std::function<TZoom(TZoom)>& change);
    // "Scale Bars" is checked.
    bool RulersShown() const;
    // Swatches.
    void ExchangeSwatches();
    void DefaultSwatches();
    void PaintSwatches();

    // Opens the help page without waiting (in the program's own help window
    // when the desktop has no program for it); false when it is missing.
    bool OpenHelp();
    // Runs on the first activation only: shows the tips when the preference
    // file asks for it. Returns whether the tips were asked for.
    bool FirstActivation();
    // Shows the tips instead of the tips window, and draws the layer strip
    // instead of the layer sheet (tests count the calls).
    std::function<void()> OnShowTips;
    std::function<void(int slot)> OnRedrawLayerStrip;
    // Stands in for opening the help page with the desktop's program
    // (false: the desktop has none).
    std::function<bool(const QUrl& page)> OnOpenDesktopPage;

    // Sets the recorded option box to its dimmed opacity.
    void DimOptionBox();

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    // Makes an action for every command and places them in the menus, the
    // pop-up menu and the top tool bar.
    void PlaceCommands();
    QAction* MakeAction(const TCommand& command);
    void BuildToolBar1();
    void BuildToolPanel();
    void BuildEffectsPanel();
    void BuildLayerSheet();
    void BuildPages();

    void Hint(QWidget* w, const QString& controlName);
    // The size panel: the active image's size, and the span of a drag
    // under way.
    void ShowImageSize();
    void Shutdown();

    std::unique_ptr<Workspace> ws_;
    WindowSet windows_;
    OptionControls options_;
    CursorSet cursors_;
    bool activated_ = false;
    bool shutDown_ = false;
    // The slot whose page was just shown for a picture read from a file: the
    // tab change fits it to the view when it is larger (-1: none).
    int fitOnShow_ = -1;
    bool newestQueued_ = false;

    QTabWidget* pageControl_ = nullptr;
    ViewControls* view_ = nullptr;
    StatusBarWidget* status_ = nullptr;
    QToolBar* toolBar1_ = nullptr;
    QWidget* body_ = nullptr;
    QWidget* panel1_ = nullptr;
    QWidget* panel2_ = nullptr;
    QWidget* effectsPanel_ = nullptr;
    QWidget* toolBar3_ = nullptr;
    QWidget* toolBar4_ = nullptr;
    UpDown* upDown2_ = nullptr;
    QWidget* layerSheet_ = nullptr;
    QWidget* ilSheet_ = nullptr;
    QLabel* lsImage_ = nullptr;
    UpDown* upDown_ = nullptr;
    SwatchWidget* shape1_ = nullptr;
    SwatchWidget* shape2_ = nullptr;
    std::vector<std::pair<int, QToolButton*>> toolButtons_; // tool number, button
    QMenu* popup_ = nullptr;
    std::vector<QAction*> commands_;
    std::map<std::string_view, QActionGroup*> groups_;
};

} // namespace pixora
