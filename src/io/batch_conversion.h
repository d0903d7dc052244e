#pragma once
// Batch conversion without its window: the list of files to convert, the
// destination folder and format, the names the outputs get, the run with its
// failure count, and the texts shown afterwards. No document slot takes
// part.

#include <string>
#include <vector>

#include "io/codecs/format_rows.h"
#include "io/convert_many.h"

namespace pixora {

// One entry of the list: the name shown (without its folder) and the file
// it stands for. Keeping both in one entry keeps them paired.
struct TBatchSource {
    std::string Name;
    std::string Path;
};

// The list after "Add Files": the chosen paths in the dialog's order, each
// shown by its file name.
std::vector<TBatchSource> BatchSourcesFromPaths(const std::vector<std::string>& paths);

// "Delete Selected": every listed index (any order, repeats and indexes out
// of range ignored) leaves; the others keep their order.
void DeleteBatchSources(std::vector<TBatchSource>& sources, const std::vector<int>& selected);

// The destination folder as the window shows it: the chosen folder with '/'
// appended when it does not end in one; empty when none was chosen.
std::string BatchFolderText(const std::string& chosen);

// The extensions of the "Destination Format" list: each offered format's,
// by its place; the first is the default.
std::vector<std::string> BatchDestinationFormats(const TFormatTable& formats);
const std::vector<std::string>& BatchDestinationFormats(); // the program's, made once

// Which option dialog the run asks before it starts: the destination
// format's, when its options can be chosen before any picture is read.
using TBatchOptionDialog = TSaveOptionsKind;
TBatchOptionDialog BatchOptionDialogFor(const std::string& extension,
                                        const TFormatTable& formats = Formats());

// The part of a shown name before its first '.'; a name without a dot
// keeps all of it. A leading dot belongs to the name (".notes.png" ->
// ".notes"), so no output is left without a name.
std::string BatchBaseName(const std::string& name);

// folder + BatchBaseName(name) + extension ('/' put between when missing).
std::string BatchOutputName(const std::string& folder, const std::string& name, const std::string& extension);

struct TBatchRequest {
    std::vector<TBatchSource> Sources;
    std::string Folder;             // destination folder
    std::string Extension = ".bmp"; // destination format
    // Read from the "Pixel Format" / "JPEG Options" dialogs when the run
    // starts (BmpBits for ".bmp", JpegQuality and JpegGray for ".jpg").
    SaveOptions Options;
};

struct TBatchResult {
    bool Ran = false; // false: no folder or no files, nothing was done
    TConversionRun Run;
};

// Converts every source in list order into Folder with Extension. The
// output's extension chooses the writer as saving does: a format with a
// writer is written in it (any readable source to ".gif" through the GIF
// writer); a destination the program does not write fails every file with
// a message naming the format, and writes nothing. Failures are
// counted and the run goes on; an existing output is replaced only once the
// new file is complete.
TBatchResult ConvertBatch(const TBatchRequest& request, const TConversionControl& control = {});

// Texts of the message shown after a run with failures: the message line
// and the detail (memo) line.
std::string BatchFailureText(int failed);
std::string BatchFailureDetail(int failed);
// The detail shown after a run with failures: that line, then a line for
// each file that failed with what went wrong ("out/a.pcd: Pixora cannot
// write Kodak Photo-CD files (.pcd)").
std::string BatchFailureDetails(const TConversionRun& run);
// The line shown when a run was cancelled.
std::string BatchCancelledText(int written, int total);

} // namespace pixora
