#include "psp_folders.h"

#include <algorithm>

#include "codepage.h"
#include "conversion_settings.h"

namespace {

const char kMpeg4Folder[] = "100MNV01";
const char kH264Folder[] = "100ANV01";

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// True when the character boundary of `path` falls at `offset`: the byte
// there is not the second of a two-byte character.
bool StartsACharacter(const std::string& path, size_t offset) {
    size_t i = 0;
    while (i < offset) i += IsLeadByte(static_cast<unsigned char>(path[i])) ? 2 : 1;
    return i == offset;
}

// `folder` without one trailing backslash when it is ...\MP_ROOT\<name>
// (case-blind); "" otherwise.
std::string PspFolderNamed(std::string folder, const char* name) {
    if (!folder.empty() && LastBackslash(folder) == folder.size() - 1) folder.pop_back();
    const std::string tail = std::string("\\MP_ROOT\\") + name;
    if (folder.size() < tail.size()) return std::string();
    const size_t start = folder.size() - tail.size();
    // The tail is ASCII, so once its first backslash stands on its own no
    // byte of it can belong to a two-byte character.
    if (!StartsACharacter(folder, start)) return std::string();
    const bool same = std::equal(tail.begin(), tail.end(), folder.begin() + static_cast<std::ptrdiff_t>(start),
                                 [](char a, char b) { return AsciiUpper(a) == AsciiUpper(b); });
    return same ? folder : std::string();
}

std::string FolderOf(const std::string& path) {
    const size_t slash = LastBackslash(path);
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string TargetFolderFor(const std::string& output, int32_t videoFormat) {
    if (videoFormat != kVideoH264) return output;
    std::string mpeg4 = PspFolderNamed(output, kMpeg4Folder);
    if (mpeg4.empty()) return output;
    return mpeg4.substr(0, mpeg4.size() - std::char_traits<char>::length(kMpeg4Folder)) + kH264Folder;
}

std::vector<std::string> PspH264FoldersOf(const JobList& jobs) {
    std::vector<std::string> folders;
    for (int i = 0; i < jobs.Count(); ++i) {
        std::string folder = PspFolderNamed(FolderOf(jobs.Row(i).Target), kH264Folder);
        if (!folder.empty() && std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    return folders;
}
