#include "audio_worker.h"

AudioWorker::AudioWorker(AudioTrack& track) : track_(track), thread_([this] { Loop(); }) {}

AudioWorker::~AudioWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void AudioWorker::RethrowFailure() {
    if (failure_) std::rethrow_exception(failure_);
}

void AudioWorker::Queue(Job job) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return jobs_.size() < kCapacity || failure_; });
    RethrowFailure();
    jobs_.push_back(std::move(job));
    lock.unlock();
    changed_.notify_all();
}

void AudioWorker::Add(av::Frame frame) { Queue({Kind::Sound, std::move(frame), 0, {0, 1}}); }

void AudioWorker::PadTo(int64_t time, AVRational time_base) { Queue({Kind::Pad, nullptr, time, time_base}); }

void AudioWorker::Finish(int64_t time, AVRational time_base) {
    Queue({Kind::Finish, nullptr, time, time_base});
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return finished_ || failure_; });
    RethrowFailure();
}

void AudioWorker::Loop() {
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
        if (stop_) return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        changed_.notify_all();  // room in the queue
        try {
            switch (job.kind) {
            case Kind::Sound: track_.Add(job.frame.get()); break;
            case Kind::Pad: track_.PadTo(job.time, job.time_base); break;
            case Kind::Finish: track_.Finish(job.time, job.time_base); break;
            }
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
