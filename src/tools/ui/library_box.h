#pragma once
// The library boxes: "Patterns" (TForm32) and "Custom Brush" (TForm40).
// Thumbnails of the library's entries two to a row, chosen by a click;
// "OK" fills the image with the pattern or gives the custom brush its
// image; "Import" adds a picture file, "Delete" removes the chosen entry.

#include <QDialog>

#include "tools/library.h"
#include "window_kit/window_class.h"

class QLabel;
class QScrollBar;
class QSlider;

namespace pixora {

class WindowHost;

class LibraryBox : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Patterns, Brushes };
    LibraryBox(WindowHost& w, Kind kind);

    TLibrary Library() const;
    // The entry chosen (1 after every show); 0 for none.
    int Selected() const { return picture_.Selected; }
    // What a click at (x, y) of the thumbnails' picture does.
    void PressPicture(int x, int y);
    // The buttons' work, for the buttons and for callers that know the file.
    void Ok();
    void Import(const QString& path);
    void Delete();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Draws the thumbnails afresh with entry `select` chosen (the last one
    // when there are fewer).
    void Redraw(int select);
    void ShowPicture();

    WindowHost& w_;
    Kind kind_;
    TLibraryPicture picture_;
    QWidget* panel_;
    QLabel* image_;
    QScrollBar* scroll_;
    QSlider* occ_;
};

// "Fill with Pattern": the Patterns box, modally, with an image open.
void ShowPatterns(WindowHost& w);
// "Archive as Pattern" / "Archive as Brush": the selection stored as the
// next entry, then the library's box, modally.
void ArchivePattern(WindowHost& w);
void ArchiveBrush(WindowHost& w);

template <> struct WindowClass<TWindow::Patterns> { using Type = LibraryBox; };
template <> struct WindowClass<TWindow::CustomBrush> { using Type = LibraryBox; };

} // namespace pixora
