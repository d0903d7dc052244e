// The file commands of the window: open, reopen, the recent files, save,
// new, duplicate, close and print, with the dialogs that answer their
// questions.
#include "io/ui/file_commands.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QMenu>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSlider>
#include <QTabWidget>
#include <algorithm>
#include <memory>

#include "doc/slots.h"
#include "io/file_filters.h"
#include "io/file_questions.h"
#include "io/new_close_commands.h"
#include "io/open_commands.h"
#include "io/outside_files.h"
#include "io/recent_files.h"
#include "io/save_commands.h"
#include "io/ui/batch_window.h"
#include "io/ui/file_dialogs.h"
#include "io/ui/file_print.h"
#include "io/ui/gif_transparency_dialog.h"
#include "io/ui/image_information_dialog.h"
#include "io/ui/jpeg_options_dialog.h"
#include "io/ui/new_image_dialog.h"
#include "io/ui/pixel_format_dialog.h"
#include "io/ui/replace_file_dialog.h"
#include "io/ui/save_changes_dialog.h"
#include "io/ui/webp_options_dialog.h"
#include "window_kit/option_controls.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

// 1-based index of the filter a dialog reports as chosen; with the details
// hidden it reports the caption alone.
int FilterIndex(const std::vector<TFileFilter>& list, const QStringList& filters, const QString& chosen) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (chosen == filters[static_cast<qsizetype>(i)] || chosen == list[i].Caption)
            return static_cast<int>(i) + 1;
    return 0;
}

// The questions of the file commands, answered by the program's dialogs.
class WindowFileQuestions : public FileQuestions {
public:
    explicit WindowFileQuestions(WindowHost& w) : w_(w) {}

    bool AskSaveFileName(std::string& name, int& filterIndex) override {
        QFileDialog dlg(w_.Owner(), "Save As");
        dlg.setObjectName("SaveDialog1");
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite |
                       QFileDialog::HideNameFilterDetails);
        const QStringList filters = NameFilters(SaveFilters());
        dlg.setNameFilters(filters);
        dlg.selectNameFilter(filters[0]);
        dlg.selectFile(QString::fromStdString(name));
        QCheckBox* removeLocation = AddRemoveLocationBox(dlg);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
        name = dlg.selectedFiles().first().toStdString();
        filterIndex = FilterIndex(SaveFilters(), filters, dlg.selectedNameFilter());
        removeLocation_ = removeLocation->isChecked();
        return true;
    }
    bool RemoveLocation() const override { return removeLocation_; }
    bool AskReplaceFile(const std::string&) override {
        return w_.Get<TWindow::ReplaceFile>()->exec() == QDialog::Accepted;
    }
    void AskPixelFormat(int& pixelFormat) override {
        auto* d = w_.Get<TWindow::PixelFormat>();
        if (d->exec() == QDialog::Accepted) pixelFormat = d->ItemIndex();
    }
    void AskJpegOptions(int& pixelFormat, int& quality) override {
        auto* d = w_.Get<TWindow::JpegOptions>();
        if (d->exec() != QDialog::Accepted) return;
        pixelFormat = d->ItemIndex();
        quality = d->Quality();
    }
    void AskWebpOptions(int& quality, bool& lossless) override {
        auto* d = w_.Get<TWindow::WebpOptions>();
        if (d->exec() != QDialog::Accepted) return;
        quality = d->Quality();
        lossless = d->Lossless();
    }
    void AskGifTransparency(const Bitmap& image) override {
        auto* d = w_.Get<TWindow::GifTransparency>();
        d->Prepare(image);
        d->exec();
    }
    int GifSensitivity() const override { return w_.Get<TWindow::GifTransparency>()->Sensitivity(); }
    TSaveChangesAnswer AskSaveChanges(const std::vector<int>& listed, std::vector<int>& selected) override {
        return w_.Get<TWindow::SaveChanges>()->Ask(w_.Ws(), listed, selected);
    }

private:
    // "Remove location (GPS) and camera serial" under the file list, off at
    // first; it matters to the formats that keep a photo's metadata.
    static QCheckBox* AddRemoveLocationBox(QFileDialog& dlg) {
        auto* box = new QCheckBox("Remove location (GPS) and camera serial", &dlg);
        box->setObjectName("RemoveLocationBox");
        box->setToolTip("JPEG, PNG, TIFF and WebP files keep a photo's EXIF and XMP; with this box "
                        "ticked they leave out its GPS position and the camera's and lens's serial numbers.");
        if (auto* grid = qobject_cast<QGridLayout*>(dlg.layout()))
            grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
        return box;
    }

    WindowHost& w_;
    bool removeLocation_ = false;
};

void ShowMessage(WindowHost& w, const std::string& text) {
    if (!text.empty()) QMessageBox::warning(w.Owner(), "Pixora", QString::fromStdString(text));
}

void RunOpen(WindowHost& w) {
    Workspace& ws = w.Ws();
    if (!RoomToOpen(ws)) return;
    const QStringList chosen = ChooseFilesToOpen(w.Owner());
    if (chosen.isEmpty()) return;
    // Every file chosen, each in a tab of its own.
    std::vector<std::string> paths;
    for (const QString& path : chosen)
        paths.push_back(path.toStdString());
    OpenOutsideFiles(ws, paths);
    w.ShowRecentFiles();
}

void RunNew(WindowHost& w) {
    if (!RoomForAnotherImage(w.Ws())) return;
    if (auto* dialog = w.Get<TWindow::NewImage>()) dialog->exec();
}

void RunRecent(WindowHost& w, int index) {
    OpenRecentFile(w.Ws(), index);
    w.ShowRecentFiles();
}

void RunSave(WindowHost& w) {
    WindowFileQuestions q(w);
    SaveSlot(w.Ws(), w.Ws().ActiveSlot(), q);
    w.ShowRecentFiles();
    w.UpdateCommandStates(); // the caption loses its unsaved mark
}

void RunSaveAs(WindowHost& w) {
    WindowFileQuestions q(w);
    SaveImageAs(w.Ws(), q);
    w.ShowRecentFiles();
    w.ShowToolButtonState();
}

void RunSaveCopy(WindowHost& w) {
    WindowFileQuestions q(w);
    SaveImageCopy(w.Ws(), q);
    w.UpdateCommandStates();
}

void RunDuplicate(WindowHost& w) {
    std::string message;
    DuplicateImage(w.Ws(), message);
    ShowMessage(w, message);
}

void RunClose(WindowHost& w) {
    WindowFileQuestions q(w);
    CloseImage(w.Ws(), w.Ws().ActiveSlot(), q);
    w.ShowRecentFiles();
    w.ShowToolButtonState();
}

void RunCloseAll(WindowHost& w) {
    CloseAllForExit(w);
    w.ShowRecentFiles();
    w.ShowToolButtonState();
}

} // namespace

QString AskOpenFile(WindowHost& w) {
    // One file per use: the first one chosen.
    return ChooseFilesToOpen(w.Owner()).value(0);
}

TCommandList FileCommands() {
    constexpr CommandRule A = CommandRule::Always;
    constexpr CommandRule I = CommandRule::NeedsImage;
    TCommandList list = {
        Cmd("NewImage1", "New Image", A).Dialog().Keys("Ctrl+N").Does(RunNew),
        Cmd("ToolButton1", "New", A).Button(":/icons/new.svg", "New Image", "New Image").Does(RunNew),
        Cmd("OpenFile1", "Open File", A).Dialog().Keys("Ctrl+O").Does(RunOpen),
        Cmd("ToolButton2", "Open", A)
            .Button(":/icons/open.svg", "Open File", "Open a new image")
            .Does(RunOpen),
        Cmd("ReOpenFile1", "ReOpen File", CommandRule::ReOpen).Keys("Ctrl+Alt+O").Does([](WindowHost& w) {
            ReopenFile(w.Ws());
        }),
        Cmd("ConvertFiles1", "Convert File(s)", A).Dialog().Does(ShowBatchWindow),
        Cmd("Save1", "Save", I).Keys("Ctrl+S").Does(RunSave),
        Cmd("ToolButton3", "Save", I)
            .Button(":/icons/save.svg", "Save", "Save the current image")
            .Does(RunSave),
        Cmd("SaveAs1", "Save As", I).Dialog().Keys("Ctrl+Shift+S").Does(RunSaveAs),
        Cmd("SaveaCopy1", "Save a Copy", I).Dialog().Does(RunSaveCopy),
        Cmd("Duplicate1", "Duplicate", I).Keys("Ctrl+D").Does(RunDuplicate),
        Cmd("Duplicate2", "Duplicate", I).Keys("Ctrl+D", true).Does(RunDuplicate),
        Cmd("Duplicate3", "Duplicate", I).Does(RunDuplicate),
        Cmd("PrintImage1", "Print Image", I).Dialog().Keys("Ctrl+P").Does([](WindowHost& w) { PrintImage(w); }),
        Cmd("Close1", "Close", I).Keys("Ctrl+W").Does(RunClose),
        Cmd("Close2", "Close", I).Does(RunClose),
        Cmd("CloseAll1", "Close All", I).Keys("Ctrl+Alt+W").Does(RunCloseAll),
    };
    // Recent entry i opens from both lists.
    for (int i = 0; i < kRecentFileCount; ++i) {
        auto run = [i](WindowHost& w) { RunRecent(w, i); };
        list.push_back(Cmd(kRecentMenuItems[static_cast<std::size_t>(i)], "Files Here", A).Does(run));
        list.push_back(Cmd(kRecentDropDownItems[static_cast<std::size_t>(i)], "Files Here", A).Does(run));
    }
    return list;
}

void ShowRecentFileItems(WindowHost& w) {
    const auto& list = w.Ws().ToolVars.RecentFiles;
    // An empty "Re-Open" submenu would pop up with no size, and the window
    // system then keeps it empty for the rest of the session: it opens only
    // when it has entries.
    if (auto* reopen = w.Owner()->findChild<QMenu*>("ReOpen1"))
        reopen->menuAction()->setEnabled(
            std::any_of(list.begin(), list.end(), [](const std::string& p) { return !p.empty(); }));
    for (std::size_t i = 0; i < list.size(); ++i) {
        const QString path = QString::fromStdString(list[i]);
        const bool used = !path.isEmpty();
        for (std::string_view name : {kRecentMenuItems[i], kRecentDropDownItems[i]})
            if (QAction* a = w.Command(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())))) {
                a->setText(used ? path : QString("Files Here"));
                a->setVisible(used);
            }
    }
}

bool CloseAllForExit(WindowHost& w) {
    WindowFileQuestions q(w);
    return CloseAllImages(w.Ws(), q);
}

void InstallFileWindows(WindowHost& w) {
    QWidget* owner = w.Owner();
    auto* newImage = new NewImageDialog(owner);
    w.Install<TWindow::NewImage>(newImage);
    w.Install<TWindow::PixelFormat>(new PixelFormatDialog(owner));
    w.Install<TWindow::JpegOptions>(new JpegOptionsDialog(owner));
    w.Install<TWindow::WebpOptions>(new WebpOptionsDialog(owner));
    auto* gif = new GifTransparencyDialog(owner);
    w.Install<TWindow::GifTransparency>(gif);
    w.Options().Bind(TOpt::GifSensitivity, gif->SensitivityControl());
    w.Install<TWindow::ReplaceFile>(new ReplaceFileDialog(owner));
    w.Install<TWindow::SaveChanges>(new SaveChangesDialog(owner));
    w.Install<TWindow::Batch>(new BatchWindow(w));
    w.Install<TWindow::ImageInformation>(new ImageInformationDialog(w));
    WindowHost* host = &w;
    newImage->OnCreate = [host, gif](const TNewImage& request) {
        std::string message;
        const int slot = CreateBlankImage(host->Ws(), request, message);
        if (slot < 0) {
            ShowMessage(*host, message);
            return;
        }
        gif->SetSensitivity(255 - request.Transparency);
    };
}

} // namespace pixora
