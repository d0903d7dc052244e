#pragma once
// Writes undo steps' files behind the window. The window thread decides
// what a step holds and hands the writing over; a worker thread runs the
// jobs in the order they came. Whoever reads a step's file first waits for
// the writes handed over (Finish), so every read sees the files complete.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pixora {

// A step whose file could not be written.
struct TStepFailure {
    int Slot = -1;
    int Step = 0;
    std::string Message;
};

class TStepWriter {
public:
    TStepWriter();
    // Finishes the jobs handed over, then stops the worker.
    ~TStepWriter();
    TStepWriter(const TStepWriter&) = delete;
    TStepWriter& operator=(const TStepWriter&) = delete;

    // Hands over the writing of step `step` of `slot`; a job that throws is
    // a failure of that step.
    void Post(int slot, int step, std::function<void()> job);
    // Waits until every job handed over is done.
    void Finish();
    // The failures since the last call, oldest first.
    std::vector<TStepFailure> TakeFailures();
    // Forgets the failures of a slot whose steps are gone.
    void DropFailures(int slot);
    // Whether jobs are waiting or running.
    bool Busy() const;

private:
    struct TJob {
        int Slot;
        int Step;
        std::function<void()> Run;
    };
    void Work();

    mutable std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<TJob> jobs_;
    std::vector<TStepFailure> failures_;
    bool running_ = false, stop_ = false;
    std::thread worker_;
};

} // namespace pixora
