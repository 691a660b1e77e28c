#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

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

}  // namespace fsys
