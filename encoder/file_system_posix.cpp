#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "av_ptr.h"
#include "file_system.h"

namespace fsys {

void RemoveIfPresent(const std::string& path, const std::string& step) {
    if (std::remove(path.c_str()) != 0 && errno != ENOENT)
        throw Failure(OutputFailureReason(AVERROR(errno)), path + ": " + step + ": " + std::strerror(errno));
}

void Replace(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0)
        throw Failure(OutputFailureReason(AVERROR(errno)),
                      to + ": cannot put the finished file in place: " + std::strerror(errno));
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

PathParts SplitPath(const std::string& path) {
    const size_t cut = path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1;
    return {path.substr(0, cut), path.substr(cut)};
}

std::vector<std::string> RegularFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()), closedir);
    if (!dir) return names;
    while (const dirent* entry = readdir(dir.get())) {
        struct stat st;
        if (stat((folder + entry->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(entry->d_name);
    }
    return names;
}

std::string TemporaryFolder() {
    std::string folder = "/tmp";
    for (const char* name : {"TMPDIR", "TMP", "TEMP", "TEMPDIR"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            folder = value;
            break;
        }
    }
    struct stat st;
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return "";
    return folder.back() == '/' ? folder : folder + "/";
}

}  // namespace fsys
