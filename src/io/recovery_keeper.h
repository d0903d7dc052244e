#pragma once
// Keeps the recovery copies (io/recovery.h) of a workspace's unsaved images
// up to date without stalling the window: the window thread tells the
// keeper of each history step and of its timer, the keeper takes the
// copies there and a worker thread of its own writes them, in the order
// they were handed over.

#include <array>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "io/recovery.h"

namespace pixora {

class TRecoveryKeeper {
public:
    explicit TRecoveryKeeper(std::string folder, TRecoveryRun run = TRecoveryRun::Current());
    // Finishes the writes handed over, then stops the worker.
    ~TRecoveryKeeper();
    TRecoveryKeeper(const TRecoveryKeeper&) = delete;
    TRecoveryKeeper& operator=(const TRecoveryKeeper&) = delete;

    // Told whenever the history menus of `slot` are refreshed. When its
    // history position or count moved (an edit, undo, redo or jump) that is
    // a step: the image is marked changed, and every
    // kRecoveryStepInterval-th step copies the changed images.
    void NoteHistoryStep(Workspace& ws, int slot);
    // The timer: copies the unsaved images changed since their last copy
    // and removes the copies of images saved or closed since.
    void Refresh(Workspace& ws);
    // Waits until the worker has written everything handed to it.
    void Finish();
    // A clean exit: the writes finished, every copy of this run removed.
    void RemoveAll();

    const std::string& Folder() const { return folder_; }
    const TRecoveryRun& Run() const { return run_; }
    int Steps() const { return steps_; }
    // Writes and removals done, and the last failure's message ("" = none).
    int Done() const;
    std::string LastError() const;

private:
    void Post(std::function<void()> job);
    void Work();

    const std::string folder_;
    const TRecoveryRun run_;
    int steps_ = 0;
    std::array<bool, kSlotCount> changed_{};
    std::array<bool, kSlotCount> copied_{};
    std::array<std::pair<int, int>, kSlotCount> seen_{}; // HistoryPos, HistoryCount

    mutable std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<std::function<void()>> jobs_;
    bool busy_ = false, stop_ = false;
    int done_ = 0;
    std::string lastError_;
    std::thread worker_;
};

} // namespace pixora
