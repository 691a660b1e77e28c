// libFuzzer target: the portable settings-file reader and writer. The input
// is the file; reading any key never fails, returns at most kMaxValue bytes,
// and a value written (one line, no surrounding blanks or quotes) reads back
// as written while the other keys keep their values.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "ini_file.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

const std::string& FilePath() {
    static const std::string path = "/tmp/vq-ini-fuzz-" + std::to_string(getpid()) + ".ini";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = FilePath();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    auto ini = MakePortableIniFile();
    const char* keys[] = {"Output", "PspNumber", "NextNumber", "", "a"};
    for (const char* section : {"Setting", "", "s"}) {
        for (const char* key : keys)
            Require(ini->ReadString(path, section, key, "def").size() <= IniFile::kMaxValue);
    }
    const std::string before = ini->ReadString(path, "Setting", "PspNumber", "missing");
    Require(ini->WriteString(path, "Setting", "Output", "D:\\Videos"));
    Require(ini->ReadString(path, "Setting", "Output", "") == "D:\\Videos");
    Require(ini->ReadString(path, "Setting", "PspNumber", "missing") == before);
    std::remove(path.c_str());
    return 0;
}
