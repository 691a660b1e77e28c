#pragma once
// The font family subtitles fall back on when neither their own font nor the
// system's per-character fallback draws a character.
#include <string>

// A family of the system's that draws Chinese; "" when the platform's font
// lookup already finds one per character (fontconfig does).
std::string CjkFallbackFamily();
