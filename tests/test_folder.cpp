#include "test_folder.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

TestFolder::TestFolder() {
    static std::atomic<int> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path p = fs::temp_directory_path() /
                 ("vq-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(p);
    root_ = p.string();
}

namespace {

// Removes what it can, each entry once. fs::remove_all is no good here: under
// Wine it was seen to spin for ever on a file deleted while another process
// (the console host of an encoder that has just exited) still held it open.
void RemoveTree(const fs::path& folder) {
    std::error_code ec;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(it->path());
    for (const fs::path& entry : entries) {
        if (fs::is_directory(fs::symlink_status(entry, ec)))
            RemoveTree(entry);
        else
            fs::remove(entry, ec);
    }
    fs::remove(folder, ec);
}

}  // namespace

TestFolder::~TestFolder() { RemoveTree(root_); }

// Joined as bytes: the names are in the system code page, which
// std::filesystem would read differently on Windows.
std::string TestFolder::Path(const std::string& name) const {
#ifdef _WIN32
    return root_ + "\\" + name;
#else
    return root_ + "/" + name;
#endif
}

std::string TestFolder::ReadFile(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void TestFolder::WriteFile(const std::string& name, const std::string& content) const {
    std::ofstream(Path(name), std::ios::binary) << content;
}
