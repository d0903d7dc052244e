#include "history/step_writer.h"

#include <exception>
#include <vector>

namespace pixora {

TStepWriter::TStepWriter() : worker_([this] { Work(); }) {}

TStepWriter::~TStepWriter() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

void TStepWriter::Post(int slot, int step, std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back({slot, step, std::move(job)});
    }
    wake_.notify_one();
}

void TStepWriter::Finish() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return jobs_.empty() && !running_; });
}

std::vector<TStepFailure> TStepWriter::TakeFailures() {
    std::lock_guard lock(mutex_);
    std::vector<TStepFailure> failures;
    failures.swap(failures_);
    return failures;
}

void TStepWriter::DropFailures(int slot) {
    std::lock_guard lock(mutex_);
    std::erase_if(failures_, [slot](const TStepFailure& f) { return f.Slot == slot; });
}

bool TStepWriter::Busy() const {
    std::lock_guard lock(mutex_);
    return running_ || !jobs_.empty();
}

void TStepWriter::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
        if (jobs_.empty()) return;  // stopping, everything written
        TJob job = std::move(jobs_.front());
        jobs_.pop_front();
        running_ = true;
        lock.unlock();
        std::string failure;
        try {
            job.Run();
        } catch (const std::exception& e) {
            failure = e.what();
            if (failure.empty()) failure = "unknown failure";
        } catch (...) {
            failure = "unknown failure";
        }
        lock.lock();
        if (!failure.empty()) failures_.push_back({job.Slot, job.Step, std::move(failure)});
        running_ = false;
        if (jobs_.empty()) idle_.notify_all();
    }
}

} // namespace pixora
