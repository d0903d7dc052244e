#include "io/batch_conversion.h"

#include "doc/slots.h"

namespace pixora {

std::vector<TBatchSource> BatchSourcesFromPaths(const std::vector<std::string>& paths) {
    std::vector<TBatchSource> sources;
    sources.reserve(paths.size());
    for (const std::string& p : paths)
        sources.push_back({FileNamePart(p), p});
    return sources;
}

void DeleteBatchSources(std::vector<TBatchSource>& sources, const std::vector<int>& selected) {
    std::vector<bool> gone(sources.size(), false);
    for (int i : selected)
        if (i >= 0 && static_cast<std::size_t>(i) < sources.size()) gone[static_cast<std::size_t>(i)] = true;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (gone[i]) continue;
        if (kept != i) sources[kept] = std::move(sources[i]);
        ++kept;
    }
    sources.resize(kept);
}

std::string BatchFolderText(const std::string& chosen) {
    if (chosen.empty() || chosen.back() == '/') return chosen;
    return chosen + "/";
}

std::vector<std::string> BatchDestinationFormats(const TFormatTable& formats) {
    std::vector<std::string> list;
    for (const TFormatRow* row : formats.BatchRows())
        list.emplace_back(row->Batch.Extension);
    return list;
}

const std::vector<std::string>& BatchDestinationFormats() {
    static const std::vector<std::string> list = BatchDestinationFormats(Formats());
    return list;
}

TBatchOptionDialog BatchOptionDialogFor(const std::string& extension, const TFormatTable& formats) {
    for (const TFormatRow* row : formats.BatchRows())
        if (extension == row->Batch.Extension)
            return ChosenWithoutPicture(row->Options) ? row->Options : TSaveOptionsKind::None;
    return TSaveOptionsKind::None;
}

std::string BatchBaseName(const std::string& name) {
    const std::size_t dot = name.find('.', name.empty() ? 0 : 1);
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string BatchOutputName(const std::string& folder, const std::string& name,
                            const std::string& extension) {
    return BatchFolderText(folder) + BatchBaseName(name) + extension;
}

TBatchResult ConvertBatch(const TBatchRequest& request, const TConversionControl& control) {
    TBatchResult result;
    if (request.Folder.empty() || request.Sources.empty()) return result;
    std::vector<TConversionJob> jobs;
    jobs.reserve(request.Sources.size());
    for (const TBatchSource& s : request.Sources)
        jobs.push_back({s.Path, BatchOutputName(request.Folder, s.Name, request.Extension)});
    result.Ran = true;
    result.Run = ConvertFiles(jobs, request.Options, control);
    return result;
}

std::string BatchFailureText(int failed) {
    return "An Error Occured while trying to save " + std::to_string(failed) + " file(s).";
}

std::string BatchFailureDetail(int failed) {
    return std::to_string(failed) + " file(s) failed to be converted.";
}

std::string BatchFailureDetails(const TConversionRun& run) {
    std::string text = BatchFailureDetail(run.Failed);
    for (const TConversionOutcome& o : run.Outcomes) {
        if (!o.Attempted || o.Written) continue;
        // The message's own line, without the headline the dialog shows.
        const std::size_t line = o.Error.find('\n');
        text += "\n" + (line == std::string::npos ? o.Error : o.Error.substr(line + 1));
    }
    return text;
}

std::string BatchCancelledText(int written, int total) {
    return "Conversion cancelled: " + std::to_string(written) + " of " + std::to_string(total) +
           " file(s) were written.";
}

} // namespace pixora
