#include <map>
#include <mutex>

#include "codepage.h"

const std::string& SysText(const char* utf8) {
    static std::mutex lock;
    static std::map<std::string, std::string> cache;
    std::lock_guard<std::mutex> guard(lock);
    std::string key(utf8);
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.emplace(key, Utf8ToSystem(key)).first;
    return it->second;
}

size_t LastBackslash(const std::string& path) {
    size_t found = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i])))
            ++i;
        else if (path[i] == '\\')
            found = i;
    }
    return found;
}
