#pragma once
// Runs one output track's work (filtering the sound, encoding the picture)
// on a thread of its own, so that the two encoders and the decoding overlap.
// The queues are short: picture and sound stay close together in time, which
// keeps the muxer's interleaving buffer, and the memory, small.
// Hand-offs go in batches of half a queue: the thread sleeps until that much
// work is waiting, a producer facing a full queue until half of it is done.
// Every wake-up costs a context switch (under Wine a trip through the
// server), which per frame would cost more than the work it hands over.
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "av_ptr.h"

// What a worker drives; its calls all come from the worker's thread.
class TrackSink {
public:
    virtual ~TrackSink() = default;
    // A frame for the track, which may keep or reuse it.
    virtual void Add(AVFrame* frame) = 0;
    // The track's content must reach `time` (in `time_base`).
    virtual void PadTo(int64_t time, AVRational time_base) = 0;
    // No more frames: flush, reaching at least `time`.
    virtual void Finish(int64_t time, AVRational time_base) = 0;
};

class TrackWorker {
public:
    TrackWorker(TrackSink& sink, size_t capacity);
    // Stops the thread; anything still queued is dropped.
    ~TrackWorker();
    TrackWorker(const TrackWorker&) = delete;
    TrackWorker& operator=(const TrackWorker&) = delete;

    // Queue work for the sink. They wait while the queue is full (until it
    // is half empty), and rethrow a failure of the thread.
    void Add(av::Frame frame);
    void PadTo(int64_t time, AVRational time_base);
    // Queues Finish and waits until the sink has done it.
    void Finish(int64_t time, AVRational time_base);

private:
    enum class Kind { Frame, Pad, Finish };
    struct Job {
        Kind kind;
        av::Frame frame;
        int64_t time;
        AVRational time_base;
    };
    void Queue(Job job);
    void Loop();
    void Run(Job& job);
    void RethrowFailure();  // with mutex_ held

    TrackSink& sink_;
    const size_t capacity_;
    const size_t batch_;  // capacity_ / 2, at least 1
    std::mutex mutex_;
    std::condition_variable work_;  // the thread waits for a batch
    std::condition_variable room_;  // producers wait for room, Finish for the end
    std::deque<Job> jobs_;
    bool idle_ = false;     // the thread waits on work_
    bool blocked_ = false;  // a producer waits on room_
    bool stop_ = false;
    bool finished_ = false;
    std::exception_ptr failure_;
    std::thread thread_;  // last: starts once everything above exists
};
