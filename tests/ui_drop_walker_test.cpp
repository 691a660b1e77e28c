// Dropped folders walked off the window's thread: the caller never waits
// for the disk, and rows come in the drops' order, a batch at a time.
#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "drop_walker.h"

namespace {

using Paths = std::vector<std::string>;

// A tree in memory whose folder "D:\slow" answers only once released.
class GatedFiles : public SourceFileSystem {
public:
    explicit GatedFiles(std::shared_future<void> gate) : gate_(std::move(gate)) {
        folders_["D:\\slow"] = {{"b.mkv", false, false}, {"a.avi", false, false}, {"sub", true, false}};
        folders_["D:\\slow\\sub"] = {{"c.mp4", false, false}, {"生日🎂.mkv", false, false}};
    }
    bool IsFolder(const std::string& path) override { return folders_.count(path) > 0; }
    std::vector<Entry> List(const std::string& folder) override {
        if (folder == "D:\\slow") gate_.wait();
        auto it = folders_.find(folder);
        return it == folders_.end() ? std::vector<Entry>{} : it->second;
    }
    std::string ShortPath(const std::string&) override { return ""; }

private:
    std::shared_future<void> gate_;
    std::map<std::string, std::vector<Entry>> folders_;
};

TEST(DropWalker, TheCallerNeverWaitsAndRowsKeepTheDropsOrder) {
    std::promise<void> release;
    std::mutex mutex;
    std::condition_variable announced;
    int calls = 0;
    DropWalker walker(std::make_unique<GatedFiles>(release.get_future().share()), [&] {
        std::lock_guard<std::mutex> lock(mutex);
        ++calls;
        announced.notify_all();
    });
    auto waitForCall = [&](int count) {
        std::unique_lock<std::mutex> lock(mutex);
        announced.wait(lock, [&] { return calls >= count; });
    };

    // Both drops are taken at once although the first one's folder is stuck.
    walker.Add({"D:\\first.wmv", "D:\\slow", "D:\\notes.txt", "D:\\last.ts"});
    walker.Add({"E:\\second.mov"});
    waitForCall(1);
    EXPECT_TRUE(walker.Busy());
    AcceptedFiles taken = walker.Take();
    EXPECT_EQ(taken.paths, Paths{"D:\\first.wmv"});

    release.set_value();
    Paths all = taken.paths;
    std::vector<std::string> notAdded;
    // Every call announces one batch, taken once.
    for (int takes = 1; all.size() < 6 || notAdded.empty(); ++takes) {
        waitForCall(takes + 1);
        AcceptedFiles batch = walker.Take();
        all.insert(all.end(), batch.paths.begin(), batch.paths.end());
        notAdded.insert(notAdded.end(), batch.notAdded.begin(), batch.notAdded.end());
    }
    EXPECT_EQ(all, (Paths{"D:\\first.wmv", "D:\\slow\\a.avi", "D:\\slow\\b.mkv", "D:\\slow\\sub\\c.mp4",
                          "D:\\last.ts", "E:\\second.mov"}));
    EXPECT_EQ(notAdded, Paths{"D:\\slow\\sub\\生日🎂.mkv"});  // told once, when its drop ended
}

}  // namespace
