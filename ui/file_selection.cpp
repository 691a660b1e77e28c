#include "file_selection.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "codepage.h"

namespace {

// The supported videos, in the open dialog's order: its entry's name
// (nullptr: listed only under all supported formats) and its extensions.
struct VideoType {
    const char* name;
    std::initializer_list<const char*> extensions;
};
const VideoType kVideoTypes[] = {
    {"AVI", {"avi"}}, {"MPEG", {"mpeg"}}, {"MPG", {"mpg"}}, {"ASF", {"asf"}}, {"MOV", {"mov"}},
    {"WMV", {"wmv"}}, {"MP4", {"mp4", "m4v"}}, {"MKV", {"mkv"}}, {"WebM", {"webm"}},
    {"FLV", {"flv"}}, {"3GP", {"3gp"}}, {"TS", {"ts", "m2ts", "mts"}}, {"VOB", {"vob"}},
    {nullptr, {"dv"}}};

std::string Patterns(std::initializer_list<const char*> extensions) {
    std::string patterns;
    for (const char* extension : extensions) patterns += (patterns.empty() ? "*." : ";*.") + std::string(extension);
    return patterns;
}

std::string BuildOpenDialogFilter() {
    std::string all;
    for (const VideoType& type : kVideoTypes) all += (all.empty() ? "" : ";") + Patterns(type.extensions);
    std::string filter = "所有支持的视频格式|" + all;
    for (const VideoType& type : kVideoTypes) {
        if (type.name) filter += std::string("|") + type.name + "|" + Patterns(type.extensions);
    }
    return filter + "|所有文件|*.*";
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) c = LowerAscii(c);
    return lower;
}

// Name order: blind to the case of Latin letters, otherwise by character
// code (UTF-8 bytes sort as their code points do).
bool NameBefore(const SourceFileSystem::Entry& a, const SourceFileSystem::Entry& b) {
    std::string x = LowerAscii(a.name), y = LowerAscii(b.name);
    return x != y ? x < y : a.name < b.name;
}

std::string Join(const std::string& folder, const std::string& name) {
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
    return folder + "\\" + name;
}

class CollectingSink final : public AcceptedSink {
public:
    void Accepted(std::string systemPath) override { files.paths.push_back(std::move(systemPath)); }
    void NotAdded(std::string path) override { files.notAdded.push_back(std::move(path)); }
    AcceptedFiles files;
};

void Accept(const std::string& path, SourceFileSystem& files, AcceptedSink& sink) {
    std::string system;
    if (Utf8ToSystemExact(path, system)) {
        sink.Accepted(std::move(system));
        return;
    }
    std::string shortPath = files.ShortPath(path);
    if (!shortPath.empty() && Utf8ToSystemExact(shortPath, system)) {
        sink.Accepted(std::move(system));
        return;
    }
    sink.NotAdded(path);
}

void AcceptFolder(const std::string& folder, SourceFileSystem& files, AcceptedSink& sink) {
    std::vector<SourceFileSystem::Entry> entries = files.List(folder);
    std::sort(entries.begin(), entries.end(), NameBefore);
    for (const auto& entry : entries) {
        if (sink.Stopped()) return;
        if (!entry.folder && IsSupportedVideo(entry.name)) Accept(Join(folder, entry.name), files, sink);
    }
    for (const auto& entry : entries) {
        if (sink.Stopped()) return;
        // A link may lead outside the dropped folder or back into it.
        if (entry.folder && !entry.link) AcceptFolder(Join(folder, entry.name), files, sink);
    }
}

}  // namespace

const std::string kOpenDialogFilter = BuildOpenDialogFilter();

std::vector<std::string> ParseOpenDialogNames(const char* buffer, size_t size) {
    std::vector<std::string> parts;
    size_t pos = 0;
    while (pos < size && buffer[pos] != '\0') {
        const void* end = std::memchr(buffer + pos, '\0', size - pos);
        if (!end) break;  // unterminated: the last part is incomplete
        size_t length = static_cast<const char*>(end) - (buffer + pos);
        parts.emplace_back(buffer + pos, length);
        pos += length + 1;
    }
    if (parts.size() <= 1) return parts;

    // A folder and names. A root folder ("C:\") already ends in a backslash.
    std::string folder = parts.front();
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    std::vector<std::string> paths;
    for (size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
    return paths;
}

bool IsSupportedVideo(const std::string& path) {
    size_t dot = path.rfind('.');
    size_t slash = path.find_last_of("\\/");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    std::string ext = LowerAscii(path.substr(dot + 1));
    for (const VideoType& type : kVideoTypes) {
        for (const char* known : type.extensions) {
            if (ext == known) return true;
        }
    }
    return false;
}

AcceptedFiles AcceptChosenFiles(const std::vector<std::string>& paths, SourceFileSystem& files) {
    CollectingSink sink;
    for (const std::string& path : paths) Accept(path, files, sink);
    return sink.files;
}

AcceptedFiles AcceptDroppedFiles(const std::vector<std::string>& paths, SourceFileSystem& files) {
    CollectingSink sink;
    AcceptDroppedFiles(paths, files, sink);
    return sink.files;
}

void AcceptDroppedFiles(const std::vector<std::string>& paths, SourceFileSystem& files, AcceptedSink& sink) {
    for (const std::string& path : paths) {
        if (sink.Stopped()) return;
        if (files.IsFolder(path))
            AcceptFolder(path, files, sink);
        else if (IsSupportedVideo(path))
            Accept(path, files, sink);
    }
}

std::string NotAddedMessage(const std::vector<std::string>& notAdded, size_t maxNames) {
    std::string text =
        "以下文件未能添加：文件路径含有系统代码页无法表示的字符，且文件系统没有为它提供短文件名(8.3)。"
        "请将文件改名或移到名称只含中英文字符的文件夹后再添加。\n";
    for (size_t i = 0; i < notAdded.size() && i < maxNames; ++i) text += "\n" + notAdded[i];
    if (notAdded.size() > maxNames) {
        text += "\n……另有 " + std::to_string(notAdded.size() - maxNames) + " 个文件";
    }
    return text;
}
