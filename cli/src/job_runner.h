// Runs the jobs of one lzc run on up to N threads, each with a compressor of its own, and hands
// their reports back in the order the jobs were given, on the thread that gave them.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "input_job.h"
#include "lzc/codec.h"

namespace lzc::cli {

class JobRunner {
public:
    using Job = std::function<JobReport(Compressor&)>;
    using Sink = std::function<void(JobReport&&)>;

    // With one thread, each job runs as it is given. More threads keep a few jobs per thread
    // under way and no more, so that memory does not grow with the number of jobs. A thread
    // that the system will not start (a process or memory limit) means fewer threads, down to
    // the caller's alone. Whatever a job throws fails that job only.
    JobRunner(unsigned threads, Sink sink);
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;
    ~JobRunner();

    void submit(Job job);
    // Waits for every job given and hands over the reports not yet handed over.
    void finish();

private:
    struct Slot {
        Job job;
        std::optional<JobReport> report;  // set once the job has run
    };

    void work();
    void handOverFinished(std::unique_lock<std::mutex>& lock);

    unsigned threads_;  // lowered when a thread cannot start
    const Sink sink_;
    Compressor compressor_;  // the one thread's, when there is only one

    std::mutex mutex_;
    std::condition_variable jobGiven_;
    std::condition_variable jobDone_;
    std::deque<std::unique_ptr<Slot>> inOrder_;  // given and not yet handed over
    std::deque<Slot*> waiting_;                  // given and not yet started
    bool closing_ = false;
    std::vector<std::thread> workers_;
};

// The number of threads that -T N asks for: N, or one per processor for 0.
unsigned threadsFor(unsigned asked);

}  // namespace lzc::cli
