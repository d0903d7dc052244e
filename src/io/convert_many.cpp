#include "io/convert_many.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <numeric>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "io/block_keeping.h"
#include "io/convert_file.h"

namespace fs = std::filesystem;

namespace pixora {

namespace {

// One spelling per file: links and "." / ".." resolved where the file or its
// folder exists, the plain absolute path otherwise.
std::string PathKey(const std::string& path) {
    std::error_code ec;
    fs::path key = fs::weakly_canonical(fs::path(path), ec);
    if (ec) key = fs::absolute(fs::path(path), ec).lexically_normal();
    return key.string();
}

struct TDisjointSets {
    std::vector<int> Parent;
    explicit TDisjointSets(int n) : Parent(static_cast<std::size_t>(n)) {
        std::iota(Parent.begin(), Parent.end(), 0);
    }
    int Find(int i) {
        while (Parent[static_cast<std::size_t>(i)] != i) {
            int& p = Parent[static_cast<std::size_t>(i)];
            p = Parent[static_cast<std::size_t>(p)];
            i = p;
        }
        return i;
    }
    // The smaller index stays the root, so a group's root is its first job.
    void Join(int a, int b) {
        a = Find(a);
        b = Find(b);
        if (a == b) return;
        if (a > b) std::swap(a, b);
        Parent[static_cast<std::size_t>(b)] = a;
    }
};

} // namespace

std::vector<std::vector<int>> ConversionGroups(const std::vector<TConversionJob>& jobs) {
    const int n = static_cast<int>(jobs.size());
    TDisjointSets sets(n);
    std::unordered_map<std::string, int> writer; // output -> first job writing it
    std::vector<std::string> inputs(jobs.size());
    for (int i = 0; i < n; ++i) {
        const auto [it, fresh] = writer.emplace(PathKey(jobs[static_cast<std::size_t>(i)].Output), i);
        if (!fresh) sets.Join(i, it->second);
        inputs[static_cast<std::size_t>(i)] = PathKey(jobs[static_cast<std::size_t>(i)].Input);
    }
    for (int i = 0; i < n; ++i) {
        const auto it = writer.find(inputs[static_cast<std::size_t>(i)]);
        if (it != writer.end()) sets.Join(i, it->second);
    }
    std::vector<std::vector<int>> groups;
    std::vector<int> groupOf(jobs.size(), -1);
    for (int i = 0; i < n; ++i) {
        int& g = groupOf[static_cast<std::size_t>(sets.Find(i))];
        if (g < 0) {
            g = static_cast<int>(groups.size());
            groups.emplace_back();
        }
        groups[static_cast<std::size_t>(g)].push_back(i);
    }
    return groups;
}

namespace {

bool CancelRequested(const TConversionControl& control) {
    return control.Cancel && control.Cancel->load(std::memory_order_relaxed);
}

// The state the workers share. Each worker takes the next group and runs
// its jobs in order; outcomes go into slots of their own.
struct TSharedRun {
    const std::vector<TConversionJob>& Jobs;
    const SaveOptions& Opts;
    const TConversionControl& Control;
    const std::vector<std::vector<int>>& Groups;
    std::vector<TConversionOutcome>& Outcomes;

    TSharedRun(const std::vector<TConversionJob>& jobs, const SaveOptions& opts,
               const TConversionControl& control, const std::vector<std::vector<int>>& groups,
               std::vector<TConversionOutcome>& outcomes)
        : Jobs(jobs), Opts(opts), Control(control), Groups(groups), Outcomes(outcomes) {}

    std::atomic<std::size_t> NextGroup{0};
    std::atomic<bool> Stopped{false};
    std::mutex Lock;
    std::condition_variable Changed;
    int Done = 0;        // guarded by Lock
    int WorkersLeft = 0; // guarded by Lock

    // Converts job i; false when the cancel flag stopped the run first.
    bool RunJob(int i) {
        if (Stopped.load(std::memory_order_relaxed) || CancelRequested(Control)) {
            Stopped = true;
            return false;
        }
        TConversionOutcome& o = Outcomes[static_cast<std::size_t>(i)];
        o.Attempted = true;
        const TConversionJob& job = Jobs[static_cast<std::size_t>(i)];
        const auto start = std::chrono::steady_clock::now();
        o.Written = ConvertImageFile(job.Input, job.Output, Opts, o.Error, Control.Transform);
        o.Milliseconds =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        return true;
    }

    void Work() {
        for (;;) {
            const std::size_t g = NextGroup.fetch_add(1);
            if (g >= Groups.size()) break;
            bool goOn = true;
            for (int i : Groups[g]) {
                if (!(goOn = RunJob(i))) break;
                std::lock_guard<std::mutex> hold(Lock);
                if (Control.Finished) Control.Finished(i, Outcomes[static_cast<std::size_t>(i)]);
                ++Done;
                Changed.notify_all();
            }
            if (!goOn) break;
        }
        std::lock_guard<std::mutex> hold(Lock);
        --WorkersLeft;
        Changed.notify_all();
    }
};

int ThreadCount(const TConversionControl& control, std::size_t groups) {
    int n = control.Threads;
    if (n <= 0) n = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(n), groups));
}

} // namespace

TConversionRun ConvertFiles(const std::vector<TConversionJob>& jobs, const SaveOptions& opts,
                            const TConversionControl& control) {
    const TKeepBlocksBetweenFiles keepBlocks;
    TConversionRun run;
    run.Outcomes.resize(jobs.size());
    const int total = static_cast<int>(jobs.size());
    const std::vector<std::vector<int>> groups = ConversionGroups(jobs);
    TSharedRun shared(jobs, opts, control, groups, run.Outcomes);

    std::vector<std::thread> workers;
    const int threads = ThreadCount(control, groups.size());
    if (threads > 1) {
        // Counted before each start, so a worker that ends at once is never
        // missed; a thread the system refuses is taken back.
        for (int t = 0; t < threads; ++t) {
            {
                std::lock_guard<std::mutex> hold(shared.Lock);
                ++shared.WorkersLeft;
            }
            try {
                workers.emplace_back([&shared] { shared.Work(); });
            } catch (const std::system_error&) {
                std::lock_guard<std::mutex> hold(shared.Lock);
                --shared.WorkersLeft;
                break;
            }
        }
    }
    if (workers.empty()) {
        // One thread: this one, reporting after each file.
        for (const auto& group : groups) {
            bool goOn = true;
            for (int i : group) {
                if (!(goOn = shared.RunJob(i))) break;
                if (control.Finished) control.Finished(i, run.Outcomes[static_cast<std::size_t>(i)]);
                if (control.Progress) control.Progress(++shared.Done, total);
            }
            if (!goOn) break;
        }
    } else {
        // This thread reports progress while the workers convert.
        int reported = 0;
        std::unique_lock<std::mutex> hold(shared.Lock);
        for (;;) {
            shared.Changed.wait(hold, [&] { return shared.Done != reported || shared.WorkersLeft == 0; });
            const int done = shared.Done;
            const bool finished = shared.WorkersLeft == 0;
            if (done != reported && control.Progress) {
                hold.unlock();
                control.Progress(done, total);
                hold.lock();
            }
            reported = done;
            if (finished && shared.Done == reported) break;
        }
        hold.unlock();
        for (std::thread& w : workers)
            w.join();
    }

    for (const TConversionOutcome& o : run.Outcomes) {
        if (!o.Attempted)
            run.Cancelled = true;
        else if (o.Written)
            ++run.Written;
        else
            ++run.Failed;
    }
    return run;
}

} // namespace pixora
