#pragma once
// The narrow interface through which the core asks the window for what only
// the window can do. The main window implements it; tests implement it with
// a recording fake.

#include <cstdint>
#include <string>

#include "doc/window_ids.h"

namespace pixora {

struct TRect;
// A tool option's id; its rows are in tools/tool_options.h.
enum class TOpt : int;

// Sizing cursors for SetCanvasCursor.
enum : int {
    kCursorSizeNWSE = 100,
    kCursorSizeNESW = 101,
    kCursorSizeNS = 102,
    kCursorSizeWE = 103,
};

class WindowPort {
public:
    virtual ~WindowPort() = default;

    // Index of the active tab page, which is the active slot; -1 when none.
    virtual int ActivePage() const = 0;
    // Shows tab page `slot` with the given caption and makes it active.
    virtual void ShowTabPage(int slot, const std::string& caption) = 0;
    // Hides tab page `slot`.
    virtual void HideTabPage(int slot) = 0;
    // The window's part of the tab change (doc/tab_change.h): lays out and
    // shows the active page, or hides the view when none is active.
    virtual void TabChange() = 0;
    // Redraws the view from the active slot's Bitmap.
    virtual void RefreshView() = 0;
    // Redraws the part `area` (image pixels) of the view from the active
    // slot's Bitmap, the rest being known to be shown as it is. A port
    // that cannot redraw a part redraws the whole.
    virtual void RefreshViewArea(const TRect& area) {
        (void)area;
        RefreshView();
    }
    // Brings the enabled state of menus and buttons up to date.
    virtual void UpdateCommandStates() = 0;
    // Redraws the layer strip of a slot.
    virtual void RedrawLayerStrip(int slot) = 0;
    // Shows the shared error dialog with the text of the kind (1 save,
    // 2 open, 3 batch) and the error's own message as a detail line.
    virtual void ReportError(int kind, const std::string& detail) = 0;
    // Shows the shared error dialog for a failure of the program's own
    // (an undo step that could not be stored, a layer without memory):
    // its own headline, and the reason as a detail line.
    virtual void ReportProblem(const std::string& headline, const std::string& detail) = 0;
    // Reads a tool option live from its option box control (ids:
    // tools/tool_options.h): a spin edit's or track bar's value, 1/0 for a
    // check box, the item index of a combo box or radio group. Without a
    // window every option reads 0.
    virtual int ToolOption(TOpt id) const {
        (void)id;
        return 0;
    }
    // Repaints the view from the display copy as it is (after drawing
    // straight onto the view, e.g. rubber bands and outlines).
    virtual void RepaintView() {}
    // The same for the part `area` (image pixels) of the display copy only.
    virtual void RepaintViewArea(const TRect& area) {
        (void)area;
        RepaintView();
    }
    // Sets the canvas cursor: 0 the arrow, 1..16 the program's cursors, or
    // one of the sizing cursors below.
    virtual void SetCanvasCursor(int cursor) { (void)cursor; }
    // Shows a colour on the foreground (which = 0) or background swatch.
    virtual void ShowSwatchColour(int which, int32_t colour) {
        (void)which;
        (void)colour;
    }
    // Brings the "Undo ..." / "Redo ..." captions and drop-down lists up to
    // date after a history step.
    virtual void RefreshHistoryMenus() {}
    // A passing note in the status bar (the oldest undo steps were dropped).
    virtual void ShowStatusNote(const std::string& text) { (void)text; }
    // A question answered Yes or No: a headline and the question itself.
    // Without a window nobody can answer, and the work goes on (Yes).
    virtual bool AskYesNo(const std::string& headline, const std::string& question) {
        (void)headline;
        (void)question;
        return true;
    }
    // Sets an option box control as ToolOption reads it (a value, 1/0 for a
    // check box, an item index).
    virtual void SetToolOption(TOpt id, int value) {
        (void)id;
        (void)value;
    }
    // A press of the text tool: shows the text editor, or redraws its
    // preview at the new point when it is shown already.
    virtual void TextToolPressed() {}
};

// The port of a workspace without a window (the command line, a test
// without a stand-in): no page is active and every request does nothing.
class NoWindowPort : public WindowPort {
public:
    int ActivePage() const override { return -1; }
    void ShowTabPage(int, const std::string&) override {}
    void HideTabPage(int) override {}
    void TabChange() override {}
    void RefreshView() override {}
    void UpdateCommandStates() override {}
    void RedrawLayerStrip(int) override {}
    void ReportError(int, const std::string&) override {}
    void ReportProblem(const std::string&, const std::string&) override {}
};

// Where a workspace keeps its port: never empty. It holds a port that does
// nothing until a window (or a test's stand-in) puts itself in, and again
// once that is taken out (set to null).
class TPortSlot {
public:
    TPortSlot() = default;
    TPortSlot(const TPortSlot&) = delete;
    TPortSlot& operator=(const TPortSlot&) = delete;

    TPortSlot& operator=(WindowPort* port) {
        port_ = port ? port : &none_;
        return *this;
    }
    WindowPort* operator->() const { return port_; }
    WindowPort& operator*() const { return *port_; }
    // Whether a window (or a stand-in) is in.
    bool HasWindow() const { return port_ != &none_; }

private:
    mutable NoWindowPort none_;
    WindowPort* port_ = &none_;
};

} // namespace pixora
