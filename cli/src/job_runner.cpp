#include "job_runner.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace lzc::cli {
namespace {

// Jobs under way per thread: enough to keep every thread busy while the reports before them
// wait to be handed over.
constexpr std::size_t kJobsPerThread = 4;

}  // namespace

unsigned threadsFor(unsigned asked) {
    constexpr unsigned kMostThreads = 64;
    if (asked == 0) {
        asked = std::max(1U, std::thread::hardware_concurrency());
    }
    return std::min(asked, kMostThreads);
}

JobRunner::JobRunner(unsigned threads, Sink sink) : threads_(threads), sink_(std::move(sink)) {}

JobRunner::~JobRunner() {
    finish();
}

void JobRunner::submit(Job job) {
    if (threads_ <= 1) {
        sink_(job(compressor_));
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
    inOrder_.push_back(std::make_unique<Slot>(Slot{std::move(job), nullptr}));
    waiting_.push_back(inOrder_.back().get());
    if (workers_.size() < threads_) {
        workers_.emplace_back([this] { work(); });
    }
    jobGiven_.notify_one();
}

void JobRunner::finish() {
    if (threads_ <= 1) {
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
    while (!inOrder_.empty() && inOrder_.front()->report != nullptr) {
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
        auto report = std::make_unique<JobReport>();
        try {
            *report = slot->job(compressor);
        } catch (const std::exception& failure) {
            report->fail("lzc", failure.what());
        }
        lock.lock();
        slot->report = std::move(report);
        jobDone_.notify_one();
    }
}

}  // namespace lzc::cli
