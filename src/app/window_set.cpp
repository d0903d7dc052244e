#include "app/window_set.h"

#include <QDialog>

namespace pixora {

const std::vector<WindowEntry>& StartupWindows() {
    static const std::vector<WindowEntry> list = {
        {"TForm1", "Pixora"},
        {"TForm2", "New Image"},
        {"TForm3", "Options"},
        {"TForm4", "Select Options"},
        {"TForm5", "Pixel Format"},
        {"TForm6", "JPEG Options"},
        {"TForm7", "Colour Select"},
        {"TForm8", "Colour Adjustor"},
        {"TForm9", "Channel Filter"},
        {"TForm10", "Image Blur"},
        {"TForm11", "Brightness"},
        {"TForm12", "Contrast"},
        {"TForm13", "Colour Filter"},
        {"TForm14", "Noise"},
        {"TForm15", "Pixelization"},
        {"TForm16", "Posterize"},
        {"TForm17", "Rough Blur"},
        {"TForm18", "Saturation"},
        {"TForm19", "Sharpen"},
        {"TForm20", "Solarize"},
        {"TForm21", "Options"},
        {"TForm22", "Options"},
        {"TForm23", "Options"},
        {"TForm24", "Options"},
        {"TForm25", "Options"},
        {"TForm26", "Options"},
        {"TForm27", "Options"},
        {"TForm28", "Resize Image"},
        {"TForm29", "Reset Image"},
        {"TForm30", "Rotate Image"},
        {"TForm31", "Undo History"},
        {"TForm32", "Patterns"},
        {"TForm34", "Custom Zoom"},
        {"TForm35", "GrayScale"},
        {"TForm36", "Colour Channel Transfer"},
        {"TForm37", "Text Editor"},
        {"TForm38", "Options"},
        {"TForm39", "Image Histogram"},
        {"TForm40", "Custom Brush"},
        {"TForm41", "Gradient"},
        {"TForm42", "GIF Image Transparency"},
        {"TForm43", "Eraser"},
        {"TForm44", "Transparency Options"},
        {"TForm46", "Image Information"},
        {"TForm47", "Image Navigation"},
        {"TForm48", "New Layer"},
        {"TForm49", "Edit Layer"},
        {"TForm50", "Proccessing - Please Wait"},
        {"TForm51", "Message"},
        {"TForm52", "Tips"},
        {"TForm53", "Replace File?"},
        {"TForm54", "Save Changes?"},
        {"TForm55", "About"},
        {"TForm56", "WebP Options"},
        {"TForm33", "Batch File Proccessing"},
    };
    return list;
}

void WindowSet::CreateAll(QWidget* owner, const Factory& make) {
    for (const WindowEntry& e : StartupWindows()) {
        if (e.Name == "TForm1") continue;
        QWidget* w = make ? make(e, owner) : nullptr;
        if (!w) {
            auto* frame = new QDialog(owner);
            frame->setModal(true);
            w = frame;
        }
        w->setObjectName(e.Name);
        w->setWindowTitle(e.Caption);
        w->hide();
        windows_.push_back(w);
    }
}

void WindowSet::Replace(const QString& name, QWidget* window) {
    for (QWidget*& w : windows_) {
        if (w->objectName() != name) continue;
        window->setObjectName(name);
        window->setWindowTitle(w->windowTitle());
        window->hide();
        w->deleteLater();
        w = window;
        return;
    }
}

QWidget* WindowSet::Find(const QString& name) const {
    for (QWidget* w : windows_)
        if (w->objectName() == name) return w;
    return nullptr;
}

} // namespace pixora
