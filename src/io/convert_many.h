#pragma once
// Converting a list of files, each read as opening reads and written as
// saving writes (through a temporary file renamed over the target). Batch
// conversion and the command-line converter both run their files through
// ConvertFiles.
//
// Files are converted on several threads when there are several, yet the
// files on disk and every count come out as a one-by-one run in list order
// would leave them: jobs that write the same file, or where one reads what
// another writes, run on one thread in list order.

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "io/codecs/image_codecs.h"
#include "io/convert_file.h"

namespace pixora {

struct TConversionJob {
    std::string Input;
    std::string Output; // its extension chooses the writer, as in saving
};

struct TConversionOutcome {
    bool Attempted = false; // false: the run was cancelled before this file
    bool Written = false;
    std::string Error; // the open or save message with the error's own text
    double Milliseconds = 0; // reading, transforming and writing it
};

struct TConversionRun {
    std::vector<TConversionOutcome> Outcomes; // one per job, in job order
    int Written = 0;
    int Failed = 0;
    bool Cancelled = false; // some files were left because of the cancel flag
};

struct TConversionControl {
    // Threads to convert on; 0 = one per processor core.
    int Threads = 0;
    // Called on the calling thread after each file with the number of files
    // finished so far (written or failed) and the number of jobs. The window
    // lets its messages be processed here, so its Cancel button can act.
    std::function<void(int done, int total)> Progress;
    // Called after each file with its job index and outcome, on the thread
    // that converted it; calls never overlap.
    std::function<void(int job, const TConversionOutcome& outcome)> Finished;
    // Checked before each file is begun: once set, files already being
    // converted are finished and no further file is begun.
    const std::atomic<bool>* Cancel = nullptr;
    // Applied to every image between reading and writing (ConvertImageFile);
    // it may run on several threads at once.
    TImageTransform Transform;
};

TConversionRun ConvertFiles(const std::vector<TConversionJob>& jobs, const SaveOptions& opts,
                            const TConversionControl& control = {});

// The jobs that must run on one thread in list order, each group in
// ascending job order, the groups ordered by their first job. Paths compare
// after symbolic links and "." / ".." are resolved.
std::vector<std::vector<int>> ConversionGroups(const std::vector<TConversionJob>& jobs);

} // namespace pixora
