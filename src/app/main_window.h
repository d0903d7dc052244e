#pragma once
// The main window "Pixora" (TForm1): menus, tool bars, tool and effect
// panels, the tab pages with the view, the layer sheet and the status bar.
// It wires commands to operations and implements the core's window port.

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "app/command_states.h"
#include "app/cursors.h"
#include "app/window_set.h"
#include "doc/view_geometry.h"
#include "doc/workspace.h"

class QAction;
class QLabel;
class QMenu;
class QScrollBar;
class QTabWidget;
class QToolBar;
class QToolButton;

namespace pixora {

class MessageDialog;
class ProcessingBox;
class StatusBarWidget;
class UpDown;
class ViewWidget;
class SwatchWidget;

class MainWindow : public QMainWindow, public WindowPort {
    Q_OBJECT
public:
    // exeDir: the program folder with a trailing '/'; empty = the folder of
    // the running binary.
    explicit MainWindow(const QString& exeDir = QString(), QWidget* parent = nullptr);
    ~MainWindow() override;

    Workspace& Ws() { return *ws_; }
    const WindowSet& Windows() const { return windows_; }
    // A subsystem puts its own window class in place of a start-up frame.
    void ReplaceWindow(const QString& name, QWidget* window) { windows_.Replace(name, window); }
    QWidget* Window(const QString& name) const { return windows_.Find(name); }
    const CursorSet& Cursors() const { return cursors_; }
    StatusBarWidget* Status() const { return status_; }
    MessageDialog* Messages() const;
    ProcessingBox* Processing() const;
    QTabWidget* Pages() const { return pageControl_; }
    ViewWidget* View() const { return view_; }
    QMenu* ImagePopup() const { return popup_; }
    QLabel* LayerStripImage() const { return lsImage_; }
    UpDown* LayerStripUpDown() const { return upDown_; }

    // Finds a command (menu item or tool-bar button action) by object name.
    QAction* Command(const QString& name) const;

    // WindowPort
    int ActivePage() const override;
    void ShowTabPage(int slot, const std::string& caption) override;
    void HideTabPage(int slot) override;
    void TabChange() override;
    void RefreshView() override;
    void UpdateCommandStates() override;
    void RedrawLayerStrip(int slot) override;
    void ReportError(int kind, const std::string& detail) override;
    int ToolOption(const std::string& box, const std::string& control) const override;
    void RepaintView() override;
    void SetCanvasCursor(int cursor) override;
    void ShowSwatchColour(int which, int32_t colour) override;
    void RefreshHistoryMenus() override {
        if (OnRefreshHistoryMenus) OnRefreshHistoryMenus();
    }

    // The layout routine: view, layer sheet and effects panel.
    void RunLayout();
    // Shows the slot's tool on the tool buttons.
    void ShowToolButtonState();
    // Swatches.
    void ExchangeSwatches();
    void DefaultSwatches();
    void PaintSwatches();

    // Opens the help page without waiting; false when it is missing.
    bool OpenHelp();
    // Runs on the first activation only: shows the tips when the preference
    // file asks for it. Returns whether the tips were asked for.
    bool FirstActivation();
    // Rebuilds both recent-file menus from the list in the tool record.
    void ShowRecentFiles();

    // Extension points filled by the later parts of the program.
    std::function<void()> OnShowTips;
    std::function<bool()> OnCloseAllForExit;
    std::function<void()> OnRefreshHistoryMenus;
    // Draws the layer strip of a slot into LSImage (the layers part).
    std::function<void(int slot)> OnRedrawLayerStrip;
    // The tab change shows the slot's tool: its cursor and option box.
    std::function<void(int tool)> OnShowTool;
    // A tool button was clicked (the tool is chosen by the tools part).
    std::function<void(int tool)> OnToolButton;

    // Sets the recorded option box to its dimmed opacity.
    void DimOptionBox();

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void BuildMenus();
    void BuildPopupMenu();
    void BuildToolBar1();
    void BuildToolPanel();
    void BuildEffectsPanel();
    void BuildLayerSheet();
    void BuildPages();

    // Makes a command with a rule for the command-state routine.
    QAction* MakeCommand(const QString& caption, const QString& name, CommandRule rule, int box = BoxNone);
    void Hint(QWidget* w, const QString& controlName);
    // Sets the active slot's zoom and lays the view out again.
    void ApplyZoom(const std::function<TZoom(TZoom)>& change);
    void Shutdown();

    std::unique_ptr<Workspace> ws_;
    WindowSet windows_;
    CursorSet cursors_;
    bool activated_ = false;
    bool shutDown_ = false;

    QTabWidget* pageControl_ = nullptr;
    ViewWidget* view_ = nullptr;
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
    QMenu* reOpenMenu_ = nullptr;
    QMenu* openDown_ = nullptr;
    std::vector<QAction*> recentItems_;   // FilesHere1..10
    std::vector<QAction*> openDownItems_; // FileHere1, FilesHere11..19
    std::vector<QAction*> commands_;
    QAction* scaleBars_ = nullptr;
    std::map<QString, QAction*> zoomActions_;
    QAction* layerSheetItem_ = nullptr;
};

} // namespace pixora
