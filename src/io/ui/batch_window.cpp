#include "io/ui/batch_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>
#include <cstdlib>

#include "effects/apply_effect.h"
#include "effects/effects_table.h"
#include "effects/recipes.h"
#include "io/ui/file_dialogs.h"
#include "io/ui/jpeg_options_dialog.h"
#include "io/ui/webp_options_dialog.h"
#include "io/ui/pixel_format_dialog.h"
#include "window_kit/message_dialog.h"
#include "window_kit/window_host.h"
#include "window_kit/window_support.h"

namespace pixora {

namespace {

// A dialog of the main window shown while this window is up would open
// beneath it, since this one stays on top; for that while it belongs to
// this window, so it opens above it.
class TLentDialog {
public:
    TLentDialog(QWidget* dialog, QWidget* to) : dialog_(dialog), owner_(dialog->parentWidget()) {
        flags_ = dialog->windowFlags();
        dialog->setParent(to, flags_);
    }
    ~TLentDialog() { dialog_->setParent(owner_, flags_); }
    TLentDialog(const TLentDialog&) = delete;
    TLentDialog& operator=(const TLentDialog&) = delete;

private:
    QWidget* dialog_;
    QWidget* owner_;
    Qt::WindowFlags flags_;
};

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QRect& at) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(at);
    return b;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, int x, int y) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setGeometry(x, y, 200, 18);
    return l;
}

} // namespace

BatchWindow::BatchWindow(WindowHost& host)
    : QDialog(host.Owner(), Qt::Dialog | Qt::WindowStaysOnTopHint), host_(host) {
    NameWindow(this, TWindow::Batch);
    setModal(false);
    KeepPlace(this, [this]() -> std::optional<QPoint> { return CentredOnScreen(this); });
    auto* group = new QGroupBox("Batch File Proccessing", this);
    group->setObjectName("GroupBox1");
    group->setGeometry(8, 8, 394, 318);

    MakeLabel(group, "Label1", "Files to Convert:", 12, 22);
    files_ = new QListWidget(group);
    files_->setObjectName("Files");
    files_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    files_->setGeometry(12, 42, 250, 140);
    auto* add = MakeButton(group, "Button1", "Add Files", QRect(272, 42, 112, 26));
    auto* remove = MakeButton(group, "Button2", "Delete Selected", QRect(272, 74, 112, 26));

    MakeLabel(group, "Label2", "Destination Folder:", 12, 190);
    df_ = new QLineEdit(group);
    df_->setObjectName("DF");
    df_->setReadOnly(true);
    df_->setGeometry(12, 210, 250, 24);
    auto* browse = MakeButton(group, "Button3", "Browse", QRect(272, 209, 112, 26));

    MakeLabel(group, "Label3", "Destination Format:", 12, 240);
    ds_ = new QComboBox(group);
    ds_->setObjectName("DS");
    for (const std::string& ext : BatchDestinationFormats())
        ds_->addItem(QString::fromStdString(ext));
    ds_->setCurrentIndex(0);
    ds_->setGeometry(12, 258, 100, 24);

    // Off by default: the batch then writes the files as they were read.
    applyRecipe_ = new QCheckBox("Apply recipe", group);
    applyRecipe_->setObjectName("ApplyRecipe");
    applyRecipe_->setGeometry(12, 290, 110, 24);
    recipe_ = new QLineEdit(group);
    recipe_->setObjectName("RecipeFile");
    recipe_->setReadOnly(true);
    recipe_->setGeometry(122, 290, 140, 24);
    auto* chooseRecipe = MakeButton(group, "Button6", "Choose Recipe", QRect(272, 289, 112, 26));

    auto* convert = MakeButton(this, "Button4", "Convert Files", QRect(208, 334, 100, 26));
    auto* cancel = MakeButton(this, "Button5", "Cancel", QRect(314, 334, 88, 26));
    setFixedSize(410, 368);

    connect(add, &QPushButton::clicked, this, &BatchWindow::AddFiles);
    connect(remove, &QPushButton::clicked, this, &BatchWindow::DeleteSelected);
    connect(browse, &QPushButton::clicked, this, &BatchWindow::Browse);
    connect(chooseRecipe, &QPushButton::clicked, this, &BatchWindow::ChooseRecipe);
    connect(applyRecipe_, &QCheckBox::toggled, this, [this](bool on) {
        if (on && recipe_->text().isEmpty()) ChooseRecipe();
    });
    connect(convert, &QPushButton::clicked, this, &BatchWindow::ConvertFiles);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
}

void BatchWindow::showEvent(QShowEvent* e) {
    // Shown by the command (not coming back from being minimised): a fresh
    // list.
    if (!e->spontaneous()) {
        sources_.clear();
        files_->clear();
    }
    QDialog::showEvent(e);
}

void BatchWindow::ShowNames() {
    files_->clear();
    for (const TBatchSource& s : sources_)
        files_->addItem(QString::fromStdString(s.Name));
}

void BatchWindow::AddFiles() {
    // The dialog belongs to this window so that it opens above it.
    const QStringList chosen = ChooseFilesToOpen(this);
    if (chosen.isEmpty()) return;
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(chosen.size()));
    for (const QString& p : chosen)
        paths.push_back(p.toStdString());
    sources_ = BatchSourcesFromPaths(paths);
    ShowNames();
}

void BatchWindow::DeleteSelected() {
    std::vector<int> selected;
    for (const QListWidgetItem* item : files_->selectedItems())
        selected.push_back(files_->row(item));
    DeleteBatchSources(sources_, selected);
    ShowNames();
}

void BatchWindow::Browse() {
    df_->setText(QString::fromStdString(BatchFolderText(ChooseFolder(this).toStdString())));
}

SaveOptions BatchWindow::AskOptions(const std::string& extension) {
    // The dialogs' controls are read as they are left, however the dialog
    // was closed.
    switch (BatchOptionDialogFor(extension)) {
    case TBatchOptionDialog::PixelFormat:
        if (auto* d = host_.Get<TWindow::PixelFormat>()) {
            TLentDialog lent(d, this);
            d->exec();
            return SaveOptions::FromSlot(d->ItemIndex(), 100);
        }
        break;
    case TBatchOptionDialog::JpegOptions:
        if (auto* d = host_.Get<TWindow::JpegOptions>()) {
            TLentDialog lent(d, this);
            d->exec();
            return SaveOptions::FromSlot(d->ItemIndex(), d->Quality());
        }
        break;
    case TBatchOptionDialog::WebpOptions:
        if (auto* d = host_.Get<TWindow::WebpOptions>()) {
            TLentDialog lent(d, this);
            d->exec();
            SaveOptions opts;
            opts.WebpQuality = d->Quality();
            opts.WebpLossless = d->Lossless();
            return opts;
        }
        break;
    case TBatchOptionDialog::GifTransparency: // previews a picture: never asked for a batch
    case TBatchOptionDialog::None:
        break;
    }
    return SaveOptions{};
}

void BatchWindow::ConvertFiles() {
    if (running_) return;
    TBatchRequest request;
    request.Sources = sources_;
    request.Folder = df_->text().toStdString();
    request.Extension = ds_->currentText().toStdString();
    if (request.Folder.empty() || request.Sources.empty()) {
        close();
        return;
    }
    TConversionControl control;
    if (applyRecipe_->isChecked()) {
        // A recipe that does not read stops the batch before any file is written.
        std::vector<TEffectCall> steps;
        std::string error;
        if (!ReadRecipeFile(recipe_->text().toStdString(), CommandLineEffects(), steps, error)) {
            if (auto* messages = host_.Get<TWindow::Message>()) {
                TLentDialog lent(messages, this);
                messages->ReportProblem("Could not read the recipe.", QString::fromStdString(error));
            }
            return;
        }
        // Noise draws from the program's generator, as in the editor.
        control.Transform = EffectChain(std::move(steps), static_cast<uint32_t>(std::rand()));
    }
    running_ = true;
    request.Options = AskOptions(request.Extension);

    auto* box = host_.Get<TWindow::Processing>();
    control.Threads = 0; // every core
    TBatchResult result;
    const int total = static_cast<int>(request.Sources.size());
    if (box) {
        TLentDialog lent(box, this);
        box->BeginCounted(total);
        control.Cancel = box->CancelFlag();
        control.Progress = [box](int done, int all) { box->ShowProgress(done, all); };
        result = ConvertBatch(request, control);
        box->End();
    } else {
        result = ConvertBatch(request, control);
    }
    Report(result.Run, total);
    running_ = false;
    close();
}

void BatchWindow::ChooseRecipe() {
    QFileDialog dlg(this, "Choose Recipe");
    dlg.setObjectName("RecipeDialog");
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setOptions(QFileDialog::DontUseNativeDialog);
    dlg.setNameFilters({"Recipes (*.recipe)", "All files (*)"});
    if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
        recipe_->setText(dlg.selectedFiles().first());
    // Without a recipe there is nothing to apply.
    if (recipe_->text().isEmpty()) applyRecipe_->setChecked(false);
}

void BatchWindow::Report(const TConversionRun& run, int total) {
    auto* messages = host_.Get<TWindow::Message>();
    if (!messages) return;
    if (!run.Cancelled && run.Failed == 0) return;
    TLentDialog lent(messages, this);
    if (run.Cancelled) {
        // How far the run came; failures so far go to the details.
        messages->ReportProblem(QString::fromStdString(BatchCancelledText(run.Written, total)),
                                run.Failed > 0 ? QString::fromStdString(BatchFailureDetails(run))
                                               : QString());
        return;
    }
    messages->Report(3, QString::fromStdString(BatchFailureDetails(run)), run.Failed);
}

void ShowBatchWindow(WindowHost& host) {
    QWidget* w = host.Window(TWindow::Batch);
    if (!w) return;
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace pixora
