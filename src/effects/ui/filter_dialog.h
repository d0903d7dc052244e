#pragma once
// FilterDialog: the base class of every filter window. It carries the whole
// life cycle; a window built on it only declares its controls, says how
// their positions become its effect's values, and names its resets.
//
// Life cycle (all of it here, none of it in the subclasses):
//
//   Open()        The opening command. Does nothing while no image is open
//                 (a filter window is never shown over no image). Runs
//                 ResetBeforeShow(); when that changed a control (or called
//                 Preview() itself) one preview runs. Shows the window
//                 modally, and after it has closed runs ResetAfterClose().
//                 Resets after closing cause no preview: the window is
//                 hidden, and the view already shows the document.
//   showEvent     (FormShow) Places the window with its bottom on the main
//                 window's status bar, centred on the screen, then puts the
//                 controls whose argument says so to their value for showing
//                 (the Blur dialog's radius goes to 1 there, which previews).
//   Preview()     Every change of a control made by the Add... builders
//                 runs it (connect further signals to it yourself). It
//                 runs only while the window is shown or being reset before
//                 showing, and calls RunPreview(): by default the row's
//                 filter through PreviewFilter (effects/filter_framework.h)
//                 with Values(), which draws the document onto the display
//                 copy, runs the effect there and repaints the view.
//   Button1 "OK"  Commit(): if no preview has run since the window opened,
//                 one runs first (so the display copy never holds the view's
//                 checkerboard blend); then CommitFilter with the step name,
//                 CommitSource() and "Use as Brush" (UB): one history step
//                 either way, the filtered colour bytes into the document
//                 (tool 0) or into the effect brush source (tool 26, cursor 2,
//                 its options window TForm24 shown); then the window closes.
//   Button2       "Cancel": closes.
//   ShowOriginal  "Show Original": while held the view shows the image
//                 without the effect; let go, the preview comes back. "OK"
//                 meanwhile previews again before committing.
//   done()        (FormClose, by OK, Cancel or the window's close button)
//                 The document's Rows refilled and RefreshView, which shows
//                 the committed or unchanged document.
//
// For a subclass:
//   - Construct with the effects row of the window (EffectForWindow(TWindow::Posterize))
//     or with a TFilterWindowRow of your own (step name, filter, reads-document).
//   - AddArgumentControls() builds a control for each of the row's arguments
//     that has one (effects/effect_arguments.h): its designer name, kind,
//     caption, range and start value come from the argument, so the window
//     takes what the command line takes. Values() then reads them in the
//     order of the arguments (the same values the command line passes), and
//     ResetArgumentControls() puts them back to their arguments' resets.
//   - What is the window's own (a picture, a row of push buttons) it adds
//     with AddTrack, AddSpin, AddCheck, AddRadioGroup, AddRadioButtons and
//     AddGroup, in the order it appears, and overrides Values() to give it.
//   - ResetBeforeShow(), ResetAfterClose(): the window's resets.
//   - A window whose preview is not "the effect on the display copy" (one
//     that edits the document live, say) overrides RunPreview() and
//     CommitSource(); a modeless window overrides Open() and shows itself.
//
// The window's objectName (its designer name) and caption come from its id
// (doc/window_ids.h) when it takes its frame's place.

#include <QDialog>
#include <QStringList>
#include <string>
#include <vector>

#include "effects/effects_table.h"

class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QPushButton;
class QSlider;
class QSpinBox;
class QVBoxLayout;

namespace pixora {

class WindowHost;

// A filter window's row: the step its "OK" records and the effect its
// preview runs by default.
struct TFilterWindowRow {
    std::string StepName;              // the history step of "OK"
    TFilterOperation Filter = nullptr; // the preview's effect (null: RunPreview is overridden)
    bool ReadsDocument = false;        // the effect reads the document and writes the view
    const TEffectRow* Effect = nullptr; // its effects-table row (writes the step of a recipe)
    static TFilterWindowRow Of(const TEffectRow& row) {
        return {std::string(row.StepName), row.Filter, row.ReadsDocument, &row};
    }
};

class FilterDialog : public QDialog {
    Q_OBJECT
public:
    FilterDialog(WindowHost& host, TFilterWindowRow row, QWidget* owner);
    // A window of an effect row, whose arguments can give its controls (the
    // row outlives the window).
    FilterDialog(WindowHost& host, const TEffectRow& effect, QWidget* owner);

    // The opening command (see above).
    virtual void Open();

    // The effect's values as the controls hold them now: by default each
    // argument's control (an argument without one reads its default).
    virtual TEffectValues Values() const;

    // Runs the preview now (when the window is shown or being reset).
    void Preview();

    const TFilterWindowRow& Row() const { return row_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    QCheckBox* UseAsBrush() const { return useAsBrush_; }

protected:
    // The resets of the opening command; nothing by default.
    virtual void ResetBeforeShow() {}
    virtual void ResetAfterClose() {}
    // One preview; by default the row's filter on the display copy.
    virtual void RunPreview();
    // The bitmap "OK" commits: by default the display copy.
    virtual Bitmap& CommitSource();

    WindowHost& Host() const { return host_; }
    Workspace& Ws() const;

    // ---- the arguments' controls ----------------------------------------------
    // Builds them: the arguments that lead first, then the others, each in
    // the row's order.
    void AddArgumentControls();
    // Puts each control whose argument has a reset value to that value.
    void ResetArgumentControls();
    // Sets the control of argument `index` to `value`, as a user would.
    void SetArgument(std::size_t index, int value);

    // ---- controls ------------------------------------------------------------
    // A titled box (a row of its own) to which tracks can be added.
    QGroupBox* AddGroup(const QString& title);
    // A labelled horizontal track bar with range and start position, in
    // its own row of the dialog or of `group`.
    QSlider* AddTrack(const QString& name, const QString& caption, int min, int max, int start,
                      QGroupBox* group = nullptr);
    // A labelled spin edit.
    QSpinBox* AddSpin(const QString& name, const QString& caption, int min, int max, int start);
    QCheckBox* AddCheck(const QString& name, const QString& caption, bool checked);
    // A radio group: a box named `name` titled `title` whose buttons (direct
    // children, ids 0.. in order) are laid out in `columns` columns.
    QButtonGroup* AddRadioGroup(const QString& name, const QString& title, const QStringList& items, int columns,
                                int checked);
    // A box titled `title` holding radio buttons with designer names of
    // their own (ids 0.. in order); none is checked at first.
    QButtonGroup* AddRadioButtons(const QString& title, const QStringList& names,
                                  const QStringList& captions);
    // Sets a radio group's checked button by id; -1 unchecks all of them.
    static void CheckButton(QButtonGroup* group, int id);

    void done(int result) override;
    void showEvent(QShowEvent* e) override;

private:
    // The control of one argument; all null where the argument has none.
    struct TArgumentControl {
        const TArgControl* Control = nullptr;
        QSlider* Track = nullptr;
        QSpinBox* Spin = nullptr;
        QButtonGroup* Buttons = nullptr;
        QCheckBox* Check = nullptr;
    };
    void Commit();
    void AddRow(QWidget* label, QWidget* control);
    void AddArgumentControl(std::size_t index, QGroupBox*& group);
    int Argument(std::size_t index) const;

    WindowHost& host_;
    TFilterWindowRow row_;
    const TEffectRow* effect_ = nullptr;     // the effect row, if the window has one
    std::vector<TArgumentControl> controls_; // one per argument once built
    QVBoxLayout* body_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QCheckBox* useAsBrush_ = nullptr;
    bool resetting_ = false; // the resets before showing run the preview
    bool previewed_ = false; // a preview ran since the window was opened
    bool originalShown_ = false; // "Show Original" is held: the view shows the image
};

} // namespace pixora
