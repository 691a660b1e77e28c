#include "drop_walker.h"

// Hands each accepted file over as soon as it is judged; the files that
// cannot be added wait for the end of their drop, for one message.
class DropWalker::Sink final : public AcceptedSink {
public:
    explicit Sink(DropWalker& walker) : walker_(walker) {}
    void Accepted(std::string systemPath) override {
        bool announce = false;
        {
            std::lock_guard<std::mutex> lock(walker_.mutex_);
            walker_.found_.paths.push_back(std::move(systemPath));
            announce = !walker_.announced_;
            walker_.announced_ = true;
        }
        if (announce) walker_.ready_();
    }
    void NotAdded(std::string path) override {
        std::lock_guard<std::mutex> lock(walker_.mutex_);
        walker_.notAddedOfDrop_.push_back(std::move(path));
    }
    bool Stopped() override {
        std::lock_guard<std::mutex> lock(walker_.mutex_);
        return walker_.stop_;
    }

private:
    DropWalker& walker_;
};

DropWalker::DropWalker(std::unique_ptr<SourceFileSystem> files, std::function<void()> ready)
    : files_(std::move(files)), ready_(std::move(ready)), thread_([this] { Walk(); }) {}

DropWalker::~DropWalker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void DropWalker::Add(std::vector<std::string> paths) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        drops_.push_back(std::move(paths));
    }
    changed_.notify_all();
}

AcceptedFiles DropWalker::Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    AcceptedFiles taken = std::move(found_);
    found_ = AcceptedFiles();
    announced_ = false;
    return taken;
}

bool DropWalker::Busy() {
    std::lock_guard<std::mutex> lock(mutex_);
    return walking_ || !drops_.empty() || announced_;
}

void DropWalker::Walk() {
    Sink sink(*this);
    for (;;) {
        std::vector<std::string> drop;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return stop_ || !drops_.empty(); });
            if (stop_) return;
            drop = std::move(drops_.front());
            drops_.pop_front();
            walking_ = true;
        }
        // Nothing may unwind out of the thread: a failure (no memory) ends
        // this drop with what it found so far.
        try {
            AcceptDroppedFiles(drop, *files_, sink);
        } catch (...) {
        }
        bool announce = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            walking_ = false;
            for (std::string& path : notAddedOfDrop_) found_.notAdded.push_back(std::move(path));
            notAddedOfDrop_.clear();
            announce = !announced_ && !found_.notAdded.empty();
            announced_ = announced_ || announce;
        }
        if (announce) ready_();
    }
}
