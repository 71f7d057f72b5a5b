// Text-to-number conversions and the two rounding helpers used by every reader of both programs.
#pragma once
#include <cstdint>
#include <string>

namespace wf {

// Skips leading blanks and tabs, takes an optional "+" or "-", then decimal digits up to the first
// other character; no digits give 0. Values beyond 32 bits saturate.
int32_t ParseInt(const std::string& text);
// A decimal number with optional sign, fraction ("." separator) and exponent, read as far as it
// is a number (locale-independent); nothing readable gives 0.
float ParseFloat(const std::string& text);
// The low 8 bits of a 32-bit value, read back as signed (255 -> -1, 256 -> 0).
int8_t LowByte(int32_t value);
// ParseInt, then LowByte.
int8_t ParseByte(const std::string& text);

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -0.5 -> 0).
float RoundNearest(float value);
int32_t RoundToInt(float value);
// Ceiling.
float RoundUp(float value);

// Plain decimal text of an integer ("-12", "0").
std::string IntText(int64_t value);

}  // namespace wf
