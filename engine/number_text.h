#pragma once
// Numbers to text and back, by the rules every value in the settings file and
// every number typed into a dialog follows.
#include <cstdint>
#include <string>

// Plain decimal: no leading zeros, no grouping, "-" when negative.
std::string IntToText(int32_t value);

// General format: at most 15 significant digits, no trailing zeros, with the
// current regional decimal mark.
std::string FloatToText(double value);

// The regional decimal mark used by FloatToText. The Windows side reads it
// from the user's locale at start and whenever the system announces a change;
// an empty mark from the system means a full stop.
void SetDecimalMark(char mark);
char DecimalMark();

// Text to a signed 32-bit integer: leading spaces (only spaces) skipped, then
// an optional sign and decimal digits, or a hex prefix ("$", "x", "X", "0x",
// "0X") and hex digits read as a 32-bit pattern; the digits must run to the
// end. Anything else throws ConversionError with the whole text.
int32_t TextToInt(const std::string& text);

// Reads the decimal mark from the user's regional settings (Windows), or sets
// a full stop where the system gives none.
void RefreshDecimalMark();
