#include <windows.h>

#include <vector>

#include "../ini_file.h"

namespace {

class Win32IniFile final : public IniFile {
public:
    std::string ReadString(const std::string& path, const std::string& section,
                           const std::string& key, const std::string& def) override {
        std::vector<char> buf(kMaxValue + 1);
        DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buf.data(),
                                           static_cast<DWORD>(buf.size()), path.c_str());
        return std::string(buf.data(), n);
    }

    bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                          path.c_str()) != FALSE;
    }
};

}  // namespace

std::unique_ptr<IniFile> MakeSystemIniFile() { return std::make_unique<Win32IniFile>(); }
