#include "file_selection.h"

#include <cstring>

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
    std::string ext;
    for (char c : path.substr(dot + 1)) {
        ext += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    for (const char* known : {"avi", "mpeg", "mpg", "asf", "mov", "wmv"}) {
        if (ext == known) return true;
    }
    return false;
}

std::vector<std::string> SupportedVideos(const std::vector<std::string>& paths) {
    std::vector<std::string> chosen;
    for (const std::string& path : paths) {
        if (IsSupportedVideo(path)) chosen.push_back(path);
    }
    return chosen;
}
