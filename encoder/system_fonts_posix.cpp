#include "system_fonts.h"

// fontconfig picks a font for each character that has none.
std::string CjkFallbackFamily() { return ""; }
