// Connects the open, save, new, duplicate, close and print commands to the
// main window, with the dialogs that answer the commands' questions.
#include <QAction>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTabWidget>
#include <memory>

#include "app/installers.h"
#include "app/main_window.h"
#include "io/file_commands_core.h"
#include "io/recent_files.h"
#include "io/ui/file_dialogs.h"
#include "io/ui/file_print.h"

namespace pixora {

namespace {

// Qt reads a filter's patterns from the last parenthesis, separated by
// spaces; the caption shown stays the program's own.
QStringList NameFilters(const std::vector<TFileFilter>& list) {
    QStringList out;
    for (const TFileFilter& f : list)
        out << QString("%1 (%2)").arg(f.Caption, QString(f.Patterns).replace(';', ' '));
    return out;
}

// 1-based index of the filter a dialog reports as chosen; with the details
// hidden it reports the caption alone.
int FilterIndex(const std::vector<TFileFilter>& list, const QStringList& filters, const QString& chosen) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (chosen == filters[static_cast<qsizetype>(i)] || chosen == list[i].Caption) return static_cast<int>(i) + 1;
    return 0;
}

// The questions of the file commands, answered by the program's dialogs.
class WindowFileQuestions : public FileQuestions {
public:
    explicit WindowFileQuestions(MainWindow& w) : w_(w) {}

    bool AskSaveFileName(std::string& name, int& filterIndex) override {
        QFileDialog dlg(&w_, "Save As");
        dlg.setObjectName("SaveDialog1");
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite |
                       QFileDialog::HideNameFilterDetails);
        const QStringList filters = NameFilters(SaveFilters());
        dlg.setNameFilters(filters);
        dlg.selectNameFilter(filters[0]);
        dlg.selectFile(QString::fromStdString(name));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
        name = dlg.selectedFiles().first().toStdString();
        filterIndex = FilterIndex(SaveFilters(), filters, dlg.selectedNameFilter());
        return true;
    }
    bool AskReplaceFile(const std::string&) override {
        return Dialog<ReplaceFileDialog>("TForm53")->exec() == QDialog::Accepted;
    }
    void AskPixelFormat(int& pixelFormat) override {
        auto* d = Dialog<PixelFormatDialog>("TForm5");
        if (d->exec() == QDialog::Accepted) pixelFormat = d->ItemIndex();
    }
    void AskJpegOptions(int& pixelFormat, int& quality) override {
        auto* d = Dialog<JpegOptionsDialog>("TForm6");
        if (d->exec() != QDialog::Accepted) return;
        pixelFormat = d->ItemIndex();
        quality = d->Quality();
    }
    void AskGifTransparency(const Bitmap& image) override {
        auto* d = Dialog<GifTransparencyDialog>("TForm42");
        d->Prepare(image);
        d->exec();
    }
    int GifSensitivity() const override { return Dialog<GifTransparencyDialog>("TForm42")->Sensitivity(); }
    TSaveChangesAnswer AskSaveChanges(const std::vector<int>& listed, std::vector<int>& selected) override {
        return Dialog<SaveChangesDialog>("TForm54")->Ask(w_.Ws(), listed, selected);
    }

private:
    template <class T>
    T* Dialog(const char* name) const {
        return qobject_cast<T*>(w_.Window(name));
    }
    MainWindow& w_;
};

void ShowMessage(MainWindow& w, const std::string& text) {
    if (!text.empty()) QMessageBox::warning(&w, "Pixora", QString::fromStdString(text));
}

void Connect(MainWindow& w, const char* name, const std::function<void()>& run) {
    if (QAction* a = w.Command(name)) QObject::connect(a, &QAction::triggered, &w, run);
}

void OpenImageDialog(MainWindow& w) {
    Workspace& ws = w.Ws();
    if (ws.SysData.OpenCount >= kMaxOpenImages - 1) return;
    QFileDialog dlg(&w, "Open");
    dlg.setObjectName("OpenDialog1");
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFiles);
    dlg.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    const QStringList filters = NameFilters(OpenFilters());
    dlg.setNameFilters(filters);
    dlg.selectNameFilter(filters[18]);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    // One file per use: the first one chosen.
    LoadIntoNewSlot(ws, dlg.selectedFiles().first().toStdString());
    w.ShowRecentFiles();
}

} // namespace

void InstallFileCommands(MainWindow& w) {
    auto* newImage = new NewImageDialog(&w);
    w.ReplaceWindow("TForm2", newImage);
    w.ReplaceWindow("TForm5", new PixelFormatDialog(&w));
    w.ReplaceWindow("TForm6", new JpegOptionsDialog(&w));
    auto* gif = new GifTransparencyDialog(&w);
    w.ReplaceWindow("TForm42", gif);
    w.ReplaceWindow("TForm53", new ReplaceFileDialog(&w));
    w.ReplaceWindow("TForm54", new SaveChangesDialog(&w));

    auto questions = std::make_shared<WindowFileQuestions>(w);
    Workspace& ws = w.Ws();
    MainWindow* win = &w;

    newImage->OnCreate = [win, gif](const TNewImage& request) {
        std::string message;
        const int slot = CreateBlankImage(win->Ws(), request, message);
        if (slot < 0) {
            ShowMessage(*win, message);
            return;
        }
        gif->SetSensitivity(255 - request.Transparency);
    };
    for (const char* name : {"NewImage1", "ToolButton1"})
        Connect(w, name, [win, newImage] {
            if (win->Ws().SysData.OpenCount >= kMaxOpenImages - 1) return;
            newImage->exec();
        });
    for (const char* name : {"OpenFile1", "ToolButton2"}) Connect(w, name, [win] { OpenImageDialog(*win); });

    // Recent files: FilesHere1..10 and FileHere1, FilesHere11..19 open entry 0..9.
    for (int i = 0; i < kRecentFileCount; ++i) {
        const std::string menu = "FilesHere" + std::to_string(i + 1);
        const std::string drop = i == 0 ? std::string("FileHere1") : "FilesHere" + std::to_string(10 + i);
        for (const std::string& name : {menu, drop})
            Connect(w, name.c_str(), [win, i] {
                OpenRecentFile(win->Ws(), i);
                win->ShowRecentFiles();
            });
    }
    Connect(w, "ReOpenFile1", [&ws] { ReopenFile(ws); });

    for (const char* name : {"Save1", "ToolButton3"})
        Connect(w, name, [win, questions] {
            SaveSlot(win->Ws(), win->Ws().ActiveSlot(), *questions);
            win->ShowRecentFiles();
        });
    Connect(w, "SaveAs1", [win, questions] {
        SaveImageAs(win->Ws(), *questions);
        win->ShowRecentFiles();
        win->ShowToolButtonState();
    });
    Connect(w, "SaveaCopy1", [win, questions] { SaveImageCopy(win->Ws(), *questions); });

    for (const char* name : {"Duplicate1", "Duplicate2", "Duplicate3"})
        Connect(w, name, [win] {
            std::string message;
            DuplicateImage(win->Ws(), message);
            ShowMessage(*win, message);
        });
    for (const char* name : {"Close1", "Close2"})
        Connect(w, name, [win, questions] {
            CloseImage(win->Ws(), win->Ws().ActiveSlot(), *questions);
            win->ShowRecentFiles();
            win->ShowToolButtonState();
        });
    Connect(w, "CloseAll1", [win, questions] {
        CloseAllImages(win->Ws(), *questions);
        win->ShowRecentFiles();
        win->ShowToolButtonState();
    });
    Connect(w, "PrintImage1", [win] { PrintImage(*win); });

    w.OnCloseAllForExit = [win, questions] { return CloseAllImages(win->Ws(), *questions); };
}

} // namespace pixora
