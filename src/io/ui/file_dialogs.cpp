#include "io/ui/file_dialogs.h"

#include <QFileDialog>

namespace pixora {

QStringList NameFilters(const std::vector<TFileFilter>& list) {
    QStringList out;
    for (const TFileFilter& f : list)
        out << QString("%1 (%2)").arg(f.Caption, QString(f.Patterns).replace(';', ' '));
    return out;
}

QStringList ChooseFilesToOpen(QWidget* owner) {
    QFileDialog dlg(owner, "Open");
    dlg.setObjectName("OpenDialog1");
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFiles);
    dlg.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    const QStringList filters = NameFilters(OpenFilters());
    dlg.setNameFilters(filters);
    dlg.selectNameFilter(filters[AllPictureFilesPosition()]);
    if (dlg.exec() != QDialog::Accepted) return {};
    return dlg.selectedFiles();
}

QString ChooseFolder(QWidget* owner) {
    QFileDialog dlg(owner, "Select a Folder");
    dlg.setObjectName("BrowseDialog1");
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().first();
}

} // namespace pixora
