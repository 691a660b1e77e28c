#include <iconv.h>

#include <cerrno>

#include "subtitle_text.h"

// Natively the system code page is taken as GB18030, the superset of GBK.
bool SystemCodePageToUtf8(const std::string& bytes, std::string* utf8) {
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    struct Close {
        iconv_t cd;
        ~Close() { iconv_close(cd); }
    } close{cd};
    std::string out(bytes.size() * 2 + 16, '\0');  // GB18030 to UTF-8 at most doubles
    char* in = const_cast<char*>(bytes.data());
    size_t in_left = bytes.size();
    char* next = out.data();
    size_t out_left = out.size();
    if (iconv(cd, &in, &in_left, &next, &out_left) == static_cast<size_t>(-1)) return false;
    out.resize(out.size() - out_left);
    *utf8 = std::move(out);
    return true;
}
