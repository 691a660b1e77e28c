#pragma once
// The few file operations the encoder needs on its output files, on UTF-8
// paths. The platform files convert to the system's own form (UTF-16 on
// Windows) and tell why an operation failed (folder missing, no permission,
// disk full) as the Failure's reason.
#include <cstddef>
#include <string>
#include <vector>

namespace fsys {

// Removes a file; a missing file is fine. Throws Failure("<path>: <step>:
// <the system's reason>") otherwise.
void RemoveIfPresent(const std::string& path, const std::string& step);
// Moves `from` onto `to`, replacing any file there in one step. Throws Failure.
void Replace(const std::string& from, const std::string& to);
// True when both paths exist and name the same file (links and different
// spellings included).
bool SameFile(const std::string& a, const std::string& b);

// (Plain functions rather than std::filesystem: on Windows its UTF-8
// conversions pull the C++ runtime's locale machinery into trancor.exe.)

// A path split at its last folder separator: {"dir/", "name.ext"}; the folder
// part is empty for a bare name and keeps its separator.
struct PathParts {
    std::string folder;
    std::string name;
    // Where the name's extension starts (its last dot; a leading dot starts
    // none): the name's length when it has none.
    size_t extension_at() const {
        const size_t dot = name.rfind('.');
        return dot == std::string::npos || dot == 0 || name == ".." ? name.size() : dot;
    }
    std::string stem() const { return name.substr(0, extension_at()); }
    std::string extension() const { return name.substr(extension_at()); }  // with its dot
};
PathParts SplitPath(const std::string& path);
// The names of the regular files in a folder ("" for the current one), in
// no particular order; none when it cannot be read.
std::vector<std::string> RegularFilesIn(const std::string& folder);
// The system's folder for temporary files, ending in a separator; "" when
// it has none.
std::string TemporaryFolder();

}  // namespace fsys
