#include "io/recovery_keeper.h"

#include <memory>
#include <utility>

#include "io/codecs/image_codecs.h"

namespace pixora {

TRecoveryKeeper::TRecoveryKeeper(std::string folder, TRecoveryRun run)
    : folder_(std::move(folder)), run_(std::move(run)), worker_([this] { Work(); }) {
    // Copies that a killed run was writing when it ended leave temporary
    // files behind; they go at start-up, on the keeper's own thread.
    Post([folder = folder_] { RemoveLeftoverTemporaries(folder); });
}

TRecoveryKeeper::~TRecoveryKeeper() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

void TRecoveryKeeper::NoteHistoryStep(Workspace& ws, int slot) {
    if (slot < 0 || slot >= kSlotCount) return;
    const auto i = static_cast<std::size_t>(slot);
    const TImages& s = ws.Images[i];
    const std::pair<int, int> now{s.HistoryPos, s.HistoryCount};
    if (now == seen_[i]) return;
    seen_[i] = now;
    changed_[i] = true;
    if (++steps_ % kRecoveryStepInterval == 0) Refresh(ws);
}

void TRecoveryKeeper::Refresh(Workspace& ws) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const auto i = static_cast<std::size_t>(slot);
        const TImages& s = ws.Images[i];
        if (!s.InUse || s.Saved) {
            if (copied_[i]) Post([this, slot] { RemoveRecoveryCopy(folder_, run_, slot); });
            copied_[i] = false;
            changed_[i] = false;
            if (!s.InUse) seen_[i] = {};
            continue;
        }
        // A copy is due when the image changed, or when it was never copied
        // (a new image, or one that is unsaved since it was opened).
        if (!changed_[i] && copied_[i]) continue;
        std::optional<TRecoveryCopy> copy = TakeRecoveryCopy(ws, slot);
        if (!copy) continue;
        changed_[i] = false;
        copied_[i] = true;
        auto taken = std::make_shared<TRecoveryCopy>(std::move(*copy));
        Post([this, taken] { WriteRecoveryCopy(folder_, run_, *taken); });
    }
}

void TRecoveryKeeper::Finish() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void TRecoveryKeeper::RemoveAll() {
    Finish();
    RemoveRecoveryCopies(folder_, run_);
    copied_.fill(false);
    changed_.fill(false);
}

int TRecoveryKeeper::Done() const {
    std::lock_guard lock(mutex_);
    return done_;
}

std::string TRecoveryKeeper::LastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

void TRecoveryKeeper::Post(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void TRecoveryKeeper::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
        if (jobs_.empty()) return; // stopping, nothing left
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        busy_ = true;
        lock.unlock();
        std::string error;
        try {
            job();
        } catch (const std::exception& e) {
            error = e.what();
        }
        lock.lock();
        busy_ = false;
        ++done_;
        if (!error.empty()) lastError_ = error;
        if (jobs_.empty()) idle_.notify_all();
    }
}

} // namespace pixora
