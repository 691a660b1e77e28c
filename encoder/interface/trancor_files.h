#pragma once
// The names of the files trancor writes beside a target, shared by the
// encoder (which stages and commits them) and the program (which removes
// what a cancelled run left behind).
//
//   target             "E:\M4V30000.MP4"
//   staged target      "E:\M4V30000.MP4.part"
//   thumbnail          "E:\M4V30000.THM"      (the PSP shows it in its list)
//   staged thumbnail   "E:\M4V30000.THM.part"
#include <string>

namespace trancor {

inline std::string StagedPathFor(const std::string& path) { return path + ".part"; }

// "X.MP4" -> "X.THM"; a name without an extension gains ".THM".
inline std::string ThumbnailPathFor(const std::string& target) {
    const size_t slash = target.find_last_of("/\\");
    const size_t dot = target.rfind('.');
    const bool has_extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (has_extension ? target.substr(0, dot) : target) + ".THM";
}

}  // namespace trancor
