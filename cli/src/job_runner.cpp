#include "job_runner.h"

#include <algorithm>
#include <exception>
#include <new>
#include <string>
#include <utility>

#include "lzc_cli/report_text.h"

namespace lzc::cli {
namespace {

// Jobs under way per thread: enough to keep every thread busy while the reports before them
// wait to be handed over.
constexpr std::size_t kJobsPerThread = 4;

// A report of a job that failed for `reason`. Telling why takes memory too: when even that fails,
// the report carries the error without its line.
JobReport failed(const char* reason) noexcept {
    JobReport report;
    report.error = true;
    try {
        report.messages = std::string("lzc: ") + reason + "\n";
    } catch (const std::bad_alloc&) {
    }
    return report;
}

// Runs a job; what it throws fails that job alone.
JobReport runGuarded(const JobRunner::Job& job, Compressor& compressor) noexcept {
    try {
        return job(compressor);
    } catch (const std::bad_alloc&) {
        return failed(kOutOfMemory);
    } catch (const std::exception& failure) {
        return failed(failure.what());
    }
}

}  // namespace

unsigned threadsFor(unsigned asked) {
    constexpr unsigned kMostThreads = 64;
    if (asked == 0) {
        asked = std::max(1U, std::thread::hardware_concurrency());
    }
    return std::min(asked, kMostThreads);
}

JobRunner::JobRunner(unsigned threads, Sink sink) : threads_(threads), sink_(std::move(sink)) {
    workers_.reserve(threads_);
}

JobRunner::~JobRunner() {
    finish();
}

void JobRunner::submit(Job job) {
    if (threads_ <= 1 && workers_.empty()) {
        sink_(runGuarded(job, compressor_));
        return;
    }
    std::unique_lock lock(mutex_);
    for (;;) {
        handOverFinished(lock);
        if (inOrder_.size() < threads_ * kJobsPerThread) {
            break;
        }
        jobDone_.wait(lock);
    }
    if (workers_.size() < threads_) {
        try {
            workers_.emplace_back([this] { work(); });
        } catch (const std::exception&) {  // std::system_error; std::bad_alloc for its state
            threads_ = static_cast<unsigned>(workers_.size());
            if (workers_.empty()) {  // not even one: this thread runs every job from now on
                lock.unlock();
                sink_(runGuarded(job, compressor_));
                return;
            }
        }
    }
    inOrder_.push_back(std::make_unique<Slot>(Slot{std::move(job), std::nullopt}));
    waiting_.push_back(inOrder_.back().get());
    jobGiven_.notify_one();
}

void JobRunner::finish() {
    if (workers_.empty()) {
        return;
    }
    std::unique_lock lock(mutex_);
    closing_ = true;
    jobGiven_.notify_all();
    for (;;) {
        handOverFinished(lock);
        if (inOrder_.empty()) {
            break;
        }
        jobDone_.wait(lock);
    }
    lock.unlock();
    for (std::thread& worker : workers_) {
        worker.join();
    }
    workers_.clear();
}

// Hands over the reports at the front, in order, with the lock released meanwhile.
void JobRunner::handOverFinished(std::unique_lock<std::mutex>& lock) {
    while (!inOrder_.empty() && inOrder_.front()->report) {
        std::unique_ptr<Slot> slot = std::move(inOrder_.front());
        inOrder_.pop_front();
        lock.unlock();
        sink_(std::move(*slot->report));
        lock.lock();
    }
}

void JobRunner::work() {
    Compressor compressor;
    std::unique_lock lock(mutex_);
    for (;;) {
        jobGiven_.wait(lock, [this] { return closing_ || !waiting_.empty(); });
        if (waiting_.empty()) {
            return;
        }
        Slot* slot = waiting_.front();
        waiting_.pop_front();
        lock.unlock();
        JobReport report = runGuarded(slot->job, compressor);
        lock.lock();
        slot->report = std::move(report);
        jobDone_.notify_one();
    }
}

}  // namespace lzc::cli
