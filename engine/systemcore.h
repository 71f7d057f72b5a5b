// systemcore: configuration (ini.crc and the codec file), system texts, fatal errors and warnings.
#pragma once
#include <cstdint>
#include <string>

// The date layout of log entries.
inline constexpr const char* kLogDatePattern = "%yyyy,%mm,%dd  TIME:%hh:%ii:%ss";

// Reads the engine directory's ini.crc into gSettings, then the codec file; code 5 when ini.crc
// cannot be opened.
void ReadConfiguration();
// Reads the four-line groups of the codec file; a file that cannot be opened is skipped silently.
void ReadCodecs(const std::string& path);
// Reads the SYSTEMTEXT file into gTexts; code 5 when it cannot be opened.
void ReadSystemTexts();
// The key of an error code in the system text file ("#ERROR_INIT_INIT" for 5).
const char* ErrorKey(uint8_t code);
// Two message boxes, then the end of the process with exit code 0.
[[noreturn]] void ShowFatalError(uint8_t code);
// The run-time fault routine armed every frame: appends the fault entry to ERRORPATH and ends
// the process with exit code 0, without any box.
[[noreturn]] void FatalErrorHandler(const char* description, const char* module, int line);
// Appends a warning entry to the WARNINGS log; a log that cannot be opened drops it silently.
void WriteWarning(const std::string& text);
