#pragma once
// The text of a subtitle file as UTF-8. A byte-order mark says what the
// file is (UTF-8, UTF-16); without one, text that is valid UTF-8 is taken as
// such, anything else as the system's code page (GBK on a Chinese Windows,
// GB18030 elsewhere), in which most Chinese subtitle files come.
#include <string>

// False when the bytes are none of these; `utf8` then is undefined.
bool SubtitleTextToUtf8(const std::string& bytes, std::string* utf8);

// The system's code page to UTF-8 (one file per platform); false for bytes
// that are not valid text in it.
bool SystemCodePageToUtf8(const std::string& bytes, std::string* utf8);
