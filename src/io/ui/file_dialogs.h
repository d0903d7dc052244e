#pragma once
// The windows of the file commands: "New Image", the three option dialogs
// of saving, "Replace File?", "GIF Image Transparency" and "Save Changes?".
// Each is created once and shown on demand; the operations they lead to
// live in io/file_commands_core.

#include <QDialog>
#include <functional>
#include <vector>

#include "doc/workspace.h"
#include "io/file_commands_core.h"

class QButtonGroup;
class QImage;
class QLabel;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QSlider;
class QSpinBox;

namespace pixora {

// Centres a window on its screen.
void CentreOnScreen(QWidget* w);

// "New Image" (TForm2).
class NewImageDialog : public QDialog {
    Q_OBJECT
public:
    explicit NewImageDialog(QWidget* parent = nullptr);

    // Called by "OK" once the size is accepted; the dialog closes after it.
    std::function<void(const TNewImage&)> OnCreate;
    // Lets the user choose the background colour; false when cancelled.
    // Without it the platform's colour dialog is used.
    std::function<bool(int32_t& colour)> PickColour;

    TNewImage Values() const;
    int32_t Colour() const { return colour_; }
    void SetColour(int32_t colour);

    // "OK": a width or height not above 1 is set to 100 and the dialog stays.
    void OkClicked();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSpinBox* width_;
    QSpinBox* height_;
    QLabel* shape_;
    QSlider* t_;
    int32_t colour_ = 0xFFFFFF;
};

// "Pixel Format" (TForm5): 8-, 16-, 24- or 32-bit bitmap.
class PixelFormatDialog : public QDialog {
    Q_OBJECT
public:
    explicit PixelFormatDialog(QWidget* parent = nullptr);
    int ItemIndex() const;
    void SetItemIndex(int i);

protected:
    void showEvent(QShowEvent* e) override;

private:
    QButtonGroup* group_;
};

// "JPEG Options" (TForm6): 8-bit or 24-bit format and the quality.
class JpegOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit JpegOptionsDialog(QWidget* parent = nullptr);
    int ItemIndex() const;
    int Quality() const;

protected:
    void showEvent(QShowEvent* e) override;

private:
    QButtonGroup* group_;
    QSlider* quality_;
};

// "Replace File?" (TForm53): "Yes" accepts, "No" rejects.
class ReplaceFileDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReplaceFileDialog(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* e) override;
};

// "GIF Image Transparency" (TForm42): the sensitivity track bar TS and a
// preview of which pixels the GIF will key.
class GifTransparencyDialog : public QDialog {
    Q_OBJECT
public:
    explicit GifTransparencyDialog(QWidget* parent = nullptr);

    // Takes a copy of the image to be saved and draws the preview.
    void Prepare(const Bitmap& image);
    int Sensitivity() const;
    void SetSensitivity(int value);
    const Bitmap& Preview() const { return preview_; }

protected:
    void showEvent(QShowEvent* e) override;

private:
    void Redraw();

    QSlider* ts_;
    QLabel* image_;
    QScrollArea* scroll_;
    Bitmap source_;
    Bitmap checker_;
    Bitmap preview_;
};

// "Save Changes?" (TForm54).
class SaveChangesDialog : public QDialog {
    Q_OBJECT
public:
    explicit SaveChangesDialog(QWidget* parent = nullptr);

    // Lists the given slots, every one selected, and shows the dialog
    // modally. `selected` receives the chosen slots for SaveSelected.
    TSaveChangesAnswer Ask(const Workspace& ws, const std::vector<int>& listed, std::vector<int>& selected);

    // A button release over the list at list height y.
    void ReleaseAt(int y);
    const std::vector<bool>& Selection() const { return selected_; }
    const Bitmap& ListBitmap() const { return list_; }
    QScrollBar* ScrollBar() const { return bar_; }

    // Fills the list without showing the dialog.
    void Fill(const Workspace& ws, const std::vector<int>& listed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowList();

    QWidget* panel_;
    QLabel* image_;
    QScrollBar* bar_;
    std::vector<const TImages*> images_;
    std::vector<int> slots_;
    std::vector<bool> selected_;
    Bitmap list_;
    TSaveChangesAnswer answer_ = TSaveChangesAnswer::Cancel;
};

// A QPixmap-ready picture of a bitmap's colour bytes.
QImage PictureOf(const Bitmap& b);

} // namespace pixora
