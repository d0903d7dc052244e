#include "io/file_filters.h"

#include "doc/slots.h"

namespace pixora {

std::vector<TFileFilter> OpenFilters(const TFormatTable& formats) {
    std::vector<TFileFilter> list;
    for (const TFormatRow& row : formats.Rows())
        if (row.Open.Caption) list.push_back(row.Open);
    list.push_back({"All Picture Files", formats.AllPicturePatterns().c_str()});
    list.push_back({"All Files", "*.*"});
    return list;
}

std::vector<TFileFilter> SaveFilters(const TFormatTable& formats) {
    std::vector<TFileFilter> list;
    for (const TFormatRow* row : formats.SaveRows())
        list.push_back(row->Save.Filter.Caption ? row->Save.Filter : row->Open);
    return list;
}

const std::vector<TFileFilter>& OpenFilters() {
    static const std::vector<TFileFilter> list = OpenFilters(Formats());
    return list;
}

const std::vector<TFileFilter>& SaveFilters() {
    static const std::vector<TFileFilter> list = SaveFilters(Formats());
    return list;
}

int AllPictureFilesPosition(const TFormatTable& formats) {
    int listed = 0;
    for (const TFormatRow& row : formats.Rows())
        if (row.Open.Caption) ++listed;
    return listed;
}

const TFormatRow* SaveFilterRow(int filterIndex, const TFormatTable& formats) {
    const std::vector<const TFormatRow*> rows = formats.SaveRows();
    if (filterIndex < 1 || static_cast<std::size_t>(filterIndex) > rows.size()) return nullptr;
    return rows[static_cast<std::size_t>(filterIndex) - 1];
}

std::string SaveFilterExtension(int filterIndex, const TFormatTable& formats) {
    const TFormatRow* row = SaveFilterRow(filterIndex, formats);
    return row ? row->Save.Extension : "";
}

TSaveOptionsKind SaveFilterOptions(int filterIndex, const TFormatTable& formats) {
    const TFormatRow* row = SaveFilterRow(filterIndex, formats);
    return row ? row->Options : TSaveOptionsKind::None;
}

TSaveOptionsKind SaveOptionsFor(const std::string& typedName, int filterIndex, const TFormatTable& formats) {
    const TFormatRow* typed = HasExtension(typedName) ? formats.Named(LowerExtension(typedName)) : nullptr;
    if (typed && formats.WriterOf(typed->Code) == typed) return typed->Options;
    return SaveFilterOptions(filterIndex, formats);
}

bool HasExtension(const std::string& path) {
    return FileNamePart(path).find('.') != std::string::npos;
}

} // namespace pixora
