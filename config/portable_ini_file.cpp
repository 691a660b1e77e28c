#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <vector>

#include "ini_file.h"

namespace {

struct Entry {
    std::string key, value;
    bool hasValue = true;  // false for a line without "=": it reads as missing
};
struct Section {
    std::string name;
    std::vector<Entry> entries;
};

std::string Trim(const std::string& s) {
    const char* ws = " \t\r\n";
    size_t b = s.find_first_not_of(ws);
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(ws) - b + 1);
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// Reads the file into sections; false when it cannot be opened.
bool Load(const std::string& path, std::vector<Section>& sections) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        std::string t = Trim(line);
        if (t.empty()) continue;
        if (t[0] == '[') {
            size_t close = t.find(']');
            sections.push_back({Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1)), {}});
        } else if (!sections.empty()) {
            size_t eq = t.find('=');
            if (eq == std::string::npos)
                sections.back().entries.push_back({t, "", false});
            else
                sections.back().entries.push_back({Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))});
        }
    }
    return !in.bad();
}

bool Save(const std::string& path, const std::vector<Section>& sections) {
    std::ostringstream text;
    for (size_t i = 0; i < sections.size(); ++i) {
        if (i > 0) text << "\r\n";
        text << '[' << sections[i].name << "]\r\n";
        for (const Entry& e : sections[i].entries)
            text << e.key << (e.hasValue ? "=" + e.value : std::string()) << "\r\n";
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text.str();
    out.close();
    return static_cast<bool>(out);
}

Section* FindSection(std::vector<Section>& sections, const std::string& name) {
    for (Section& s : sections)
        if (SameText(s.name, name)) return &s;
    return nullptr;
}

Entry* FindEntry(Section& section, const std::string& key) {
    for (Entry& e : section.entries)
        if (SameText(e.key, key)) return &e;
    return nullptr;
}

std::string StripQuotes(const std::string& v) {
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
        return v.substr(1, v.size() - 2);
    return v;
}

class PortableIniFile final : public IniFile {
public:
    std::string ReadString(const std::string& path, const std::string& section,
                           const std::string& key, const std::string& def) override {
        std::vector<Section> sections;
        if (!Load(path, sections)) return def.substr(0, kMaxValue);
        Section* s = FindSection(sections, section);
        Entry* e = s ? FindEntry(*s, key) : nullptr;
        return (e && e->hasValue ? StripQuotes(e->value) : def).substr(0, kMaxValue);
    }

    bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override {
        std::vector<Section> sections;
        Load(path, sections);  // a missing file starts empty
        Section* s = FindSection(sections, section);
        if (!s) {
            sections.push_back({section, {}});
            s = &sections.back();
        }
        if (Entry* e = FindEntry(*s, key))
            *e = {e->key, value, true};
        else
            s->entries.push_back({key, value});
        return Save(path, sections);
    }
};

}  // namespace

std::unique_ptr<IniFile> MakePortableIniFile() { return std::make_unique<PortableIniFile>(); }

#ifndef _WIN32
std::unique_ptr<IniFile> MakeSystemIniFile() { return MakePortableIniFile(); }
#endif
