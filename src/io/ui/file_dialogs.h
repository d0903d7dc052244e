#pragma once
// The platform file dialogs as the file commands use them.

#include <QStringList>
#include <vector>

#include "io/file_filters.h"

class QWidget;

namespace pixora {

// A filter list as a file dialog takes it: Qt reads a filter's patterns from
// the last parenthesis, separated by spaces; the caption shown stays the
// program's own.
QStringList NameFilters(const std::vector<TFileFilter>& list);

// Runs the open dialog ("OpenDialog1", the open filters with "All Picture
// Files" chosen, several files at once) and returns the files picked in the dialog's order; empty when it
// was cancelled.
QStringList ChooseFilesToOpen(QWidget* owner);

// Runs the folder browser "Select a Folder" (folders only); empty when it
// was cancelled.
QString ChooseFolder(QWidget* owner);

} // namespace pixora
