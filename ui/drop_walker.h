#pragma once
// Dropped files judged and dropped folders walked off the window's thread: a
// large tree, with a short-name lookup per file, takes seconds, and the
// window must keep answering meanwhile. Drops are walked one after another
// in the order they came, and what they yield is handed over in that order,
// a batch at a time, so rows appear as they are found and in today's order.
// Portable (no Windows headers) so it is tested natively as well.
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "file_selection.h"

class DropWalker {
public:
    // `files` is used on the walking thread only. `ready` is called there
    // when something new waits to be taken and the last batch has been
    // taken (so at most one call is outstanding): the window posts itself a
    // message and calls Take on its own thread.
    DropWalker(std::unique_ptr<SourceFileSystem> files, std::function<void()> ready);
    // Ends the walk at the next entry and waits for the thread.
    ~DropWalker();
    DropWalker(const DropWalker&) = delete;
    DropWalker& operator=(const DropWalker&) = delete;

    // A drop's paths in UTF-8, in the shell's order.
    void Add(std::vector<std::string> paths);
    // What has been found since the last call: the paths to add, in order,
    // and the files of the drops that ended meanwhile that cannot be added.
    AcceptedFiles Take();
    // True while a drop waits or is being walked, or a batch waits.
    bool Busy();

private:
    class Sink;
    void Walk();

    std::unique_ptr<SourceFileSystem> files_;
    std::function<void()> ready_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<std::string>> drops_;
    AcceptedFiles found_;
    std::vector<std::string> notAddedOfDrop_;  // held back until its drop ends
    bool walking_ = false;
    bool announced_ = false;  // `ready` called and nothing taken since
    bool stop_ = false;
    std::thread thread_;  // last: starts once everything above exists
};
