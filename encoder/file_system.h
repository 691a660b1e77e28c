#pragma once
// The few file operations the encoder needs on its output files, on UTF-8
// paths. The platform files convert to the system's own form (UTF-16 on
// Windows) and tell why an operation failed (folder missing, no permission,
// disk full) as the Failure's reason.
#include <string>

namespace fsys {

// Removes a file; a missing file is fine. Throws Failure("<path>: <step>:
// <the system's reason>") otherwise.
void RemoveIfPresent(const std::string& path, const std::string& step);
// Moves `from` onto `to`, replacing any file there in one step. Throws Failure.
void Replace(const std::string& from, const std::string& to);
// True when both paths exist and name the same file (links and different
// spellings included).
bool SameFile(const std::string& a, const std::string& b);

}  // namespace fsys
