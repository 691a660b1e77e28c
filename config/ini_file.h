#pragma once
// The settings file's format: read and write one string value by file,
// section and key, as the system's private-profile functions do.
#include <memory>
#include <string>

class IniFile {
public:
    // Longest value a read returns; longer values are cut.
    static constexpr size_t kMaxValue = 2047;

    virtual ~IniFile() = default;
    // The value, or `def` when the file, the section or the key is missing.
    // "Key=" gives the empty text. Sections and keys match without regard
    // to case; surrounding spaces and one pair of matching quotes go.
    virtual std::string ReadString(const std::string& path, const std::string& section,
                                   const std::string& key, const std::string& def) = 0;
    // False when the system refuses the write.
    virtual bool WriteString(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
};

// A store in portable C++ that behaves like the Windows functions as far as
// this program can observe.
std::unique_ptr<IniFile> MakePortableIniFile();

// The system's own store: the private-profile functions on Windows, the
// portable store elsewhere.
std::unique_ptr<IniFile> MakeSystemIniFile();
