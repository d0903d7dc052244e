#pragma once
// "Image Information" (TForm46): the active image's name, folder, sizes,
// type, size on disk, layer count and the colour profile of its file, filled each time it is shown. It has
// no buttons; its close box closes it.

#include "window_kit/window_class.h"
#include "window_kit/window_support.h"

class QLineEdit;

namespace pixora {

class WindowHost;

class ImageInformationDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit ImageInformationDialog(WindowHost& host);
    // Fills the fields from the active slot (nothing without one).
    void Fill();

protected:
    void showEvent(QShowEvent* e) override;

private:
    WindowHost& host_;
    QLineEdit* name_;
    QLineEdit* location_;
    QLineEdit* fullPath_;
    QLineEdit* originalSize_;
    QLineEdit* currentSize_;
    QLineEdit* fileType_;
    QLineEdit* sizeOnDisk_;
    QLineEdit* pixels_;
    QLineEdit* layers_;
    QLineEdit* profile_;
};

// "Properties" in the Image menu and the image's pop-up menu.
void ShowImageInformation(WindowHost& host);

template <> struct WindowClass<TWindow::ImageInformation> { using Type = ImageInformationDialog; };

} // namespace pixora
