#include "track_worker.h"

TrackWorker::TrackWorker(TrackSink& sink, size_t capacity)
    : sink_(sink), capacity_(capacity), thread_([this] { Loop(); }) {}

TrackWorker::~TrackWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void TrackWorker::RethrowFailure() {
    if (failure_) std::rethrow_exception(failure_);
}

void TrackWorker::Queue(Job job) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return jobs_.size() < capacity_ || failure_; });
    RethrowFailure();
    jobs_.push_back(std::move(job));
    lock.unlock();
    changed_.notify_all();
}

void TrackWorker::Add(av::Frame frame) { Queue({Kind::Frame, std::move(frame), 0, {0, 1}}); }

void TrackWorker::PadTo(int64_t time, AVRational time_base) { Queue({Kind::Pad, nullptr, time, time_base}); }

void TrackWorker::Finish(int64_t time, AVRational time_base) {
    Queue({Kind::Finish, nullptr, time, time_base});
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return finished_ || failure_; });
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
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
        if (stop_) return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        changed_.notify_all();  // room in the queue
        try {
            Run(job);
        } catch (...) {
            // Handed to the decoding thread, which stops the conversion.
            lock.lock();
            failure_ = std::current_exception();
            lock.unlock();
            changed_.notify_all();
            return;
        }
        if (job.kind == Kind::Finish) {
            lock.lock();
            finished_ = true;
            lock.unlock();
            changed_.notify_all();
            return;
        }
    }
}
