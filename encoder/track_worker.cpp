#include "track_worker.h"

#include <algorithm>

TrackWorker::TrackWorker(TrackSink& sink, size_t capacity)
    : sink_(sink), capacity_(std::max<size_t>(capacity, 1)), batch_(std::max<size_t>(capacity / 2, 1)),
      thread_([this] { Loop(); }) {}

TrackWorker::~TrackWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    work_.notify_one();
    thread_.join();
}

void TrackWorker::RethrowFailure() {
    if (failure_) std::rethrow_exception(failure_);
}

void TrackWorker::Queue(Job job) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (jobs_.size() >= capacity_) {
        blocked_ = true;
        room_.wait(lock, [this] { return jobs_.size() <= capacity_ - batch_ || failure_; });
        blocked_ = false;
    }
    RethrowFailure();
    const bool last = job.kind == Kind::Finish;
    jobs_.push_back(std::move(job));
    const bool wake = idle_ && (jobs_.size() >= batch_ || last);
    lock.unlock();
    if (wake) work_.notify_one();
}

void TrackWorker::Add(av::Frame frame) { Queue({Kind::Frame, std::move(frame), 0, {0, 1}}); }

void TrackWorker::PadTo(int64_t time, AVRational time_base) { Queue({Kind::Pad, nullptr, time, time_base}); }

void TrackWorker::Finish(int64_t time, AVRational time_base) {
    Queue({Kind::Finish, nullptr, time, time_base});
    std::unique_lock<std::mutex> lock(mutex_);
    room_.wait(lock, [this] { return finished_ || failure_; });
    RethrowFailure();
}

void TrackWorker::Run(Job& job) {
    switch (job.kind) {
    case Kind::Frame: sink_.Add(job.frame.get()); break;
    case Kind::Pad: sink_.PadTo(job.time, job.time_base); break;
    case Kind::Finish: sink_.Finish(job.time, job.time_base); break;
    }
}

void TrackWorker::Loop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        idle_ = true;
        work_.wait(lock, [this] {
            return stop_ || jobs_.size() >= batch_ || (!jobs_.empty() && jobs_.back().kind == Kind::Finish);
        });
        idle_ = false;
        // Works the queue empty, then sleeps until the next batch.
        while (!stop_ && !jobs_.empty()) {
            Job job = std::move(jobs_.front());
            jobs_.pop_front();
            const bool room = blocked_ && jobs_.size() <= capacity_ - batch_;
            lock.unlock();
            if (room) room_.notify_one();
            try {
                Run(job);
            } catch (...) {
                // Handed to the decoding thread, which stops the conversion.
                lock.lock();
                failure_ = std::current_exception();
                lock.unlock();
                room_.notify_all();
                return;
            }
            lock.lock();
            if (job.kind == Kind::Finish) {
                finished_ = true;
                lock.unlock();
                room_.notify_all();
                return;
            }
        }
        if (stop_) return;
    }
}
