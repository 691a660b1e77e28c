#pragma once
// Runs an AudioTrack on a thread of its own, so that encoding the sound
// overlaps with decoding and encoding the picture. The queue between the
// two is short: the picture and the sound stay close together in time, which
// keeps the muxer's interleaving buffer (and memory) small.
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "audio_track.h"

class AudioWorker {
public:
    explicit AudioWorker(AudioTrack& track);
    // Stops the thread; anything still queued is dropped.
    ~AudioWorker();
    AudioWorker(const AudioWorker&) = delete;
    AudioWorker& operator=(const AudioWorker&) = delete;

    // Queue work for the track (see AudioTrack). They wait while the queue
    // is full, and rethrow a failure of the thread.
    void Add(av::Frame frame);
    void PadTo(int64_t time, AVRational time_base);
    // Queues Finish and waits until the track has done it.
    void Finish(int64_t time, AVRational time_base);

private:
    enum class Kind { Sound, Pad, Finish };
    struct Job {
        Kind kind;
        av::Frame frame;
        int64_t time;
        AVRational time_base;
    };
    void Queue(Job job);
    void Loop();
    void RethrowFailure();  // with mutex_ held

    static constexpr size_t kCapacity = 48;  // about a second of decoded sound

    AudioTrack& track_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    bool stop_ = false;
    bool finished_ = false;
    std::exception_ptr failure_;
    std::thread thread_;  // last: starts once everything above exists
};
