#include "drive_probe.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Shared by the caller and every probe's thread: a probe that outlives the
// call still has somewhere to put its answer.
struct Answers {
    enum Answer { kPending, kNo, kYes };
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Answer> given;
    size_t pending = 0;

    void Give(size_t index, bool yes) {
        std::lock_guard<std::mutex> lock(mutex);
        given[index] = yes ? kYes : kNo;
        --pending;
        changed.notify_all();
    }
};

}  // namespace

#ifndef _WIN32
bool RunDetached(std::function<void()> task) {
    try {
        std::thread(std::move(task)).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}
#endif

std::string LettersAnsweringYes(const std::string& letters, const std::function<bool(char)>& probe,
                                std::chrono::milliseconds limit) {
    auto answers = std::make_shared<Answers>();
    answers->given.assign(letters.size(), Answers::kPending);
    answers->pending = letters.size();
    for (size_t i = 0; i < letters.size(); ++i) {
        const bool started = RunDetached([answers, probe, i, letter = letters[i]] {
            bool yes = false;
            try {
                yes = probe(letter);
            } catch (...) {
            }
            answers->Give(i, yes);
        });
        if (!started) answers->Give(i, false);  // no thread to ask on: that drive is passed over
    }
    std::unique_lock<std::mutex> lock(answers->mutex);
    answers->changed.wait_for(lock, limit, [&] { return answers->pending == 0; });
    std::string yes;
    for (size_t i = 0; i < letters.size(); ++i)
        if (answers->given[i] == Answers::kYes) yes += letters[i];
    return yes;
}
