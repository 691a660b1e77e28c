#include "test_folder.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TestFolder::TestFolder() {
    static std::atomic<int> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path p = fs::temp_directory_path() /
                 ("vq-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(p);
    root_ = p.string();
}

TestFolder::~TestFolder() {
    std::error_code ec;
    fs::remove_all(root_, ec);
}

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
