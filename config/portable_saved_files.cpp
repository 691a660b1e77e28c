#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "saved_files.h"

namespace {

class PortableSavedFiles final : public SavedFiles {
public:
    ReadResult ReadAll(const std::string& path, std::string& bytes) override {
        std::ifstream in(path, std::ios::binary);
        if (!in) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
        std::ostringstream text;
        text << in.rdbuf();
        if (in.bad()) return ReadResult::Failed;
        bytes = text.str();
        return ReadResult::Read;
    }

    bool WriteFlushed(const std::string& path, const std::string& bytes) override {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << bytes;
        out.close();
        return static_cast<bool>(out);
    }

    // POSIX rename replaces the target in one step.
    bool MoveReplacing(const std::string& from, const std::string& to) override {
        return std::rename(from.c_str(), to.c_str()) == 0;
    }

    bool Remove(const std::string& path) override { return std::remove(path.c_str()) == 0; }
};

}  // namespace

std::unique_ptr<SavedFiles> MakePortableSavedFiles() { return std::make_unique<PortableSavedFiles>(); }

#ifndef _WIN32
std::unique_ptr<SavedFiles> MakeSystemSavedFiles() { return MakePortableSavedFiles(); }
#endif
