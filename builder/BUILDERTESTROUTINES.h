// BUILDERTESTROUTINES: what the builder reports: the screen log and quick help drawn over the
// map, and the run-time fault path (the report prepared in advance, the "USER" error log entry,
// the crash backup map and the closing message).
#pragma once

// The status lines over the map, black on white from the top-left corner, and the selected
// type's number at the build cursor.
void DrawScreenLog();
// The key summary in a dark box over the lower left quarter of the screen.
void DrawQuickHelp();

// Seconds the fault path may take once its entry and backup are on disk (the box included):
// then the process ends with exit code 0, whatever the box or the release are doing.
inline constexpr unsigned kFatalPathSeconds = 8;

// Prepares the report and installs BuilderFatalErrorHandler (every loop turn).
void ArmFaultHandler();
// Appends the seven-line entry to "USER/ERR!!!!.txt", writes the map to "USER/_LAZARUS<date>",
// shows the fatal-error box and ends the builder with exit code 0 (at the latest
// kFatalPathSeconds after the backup, or at once on a further fault). Never returns.
[[noreturn]] void BuilderFatalErrorHandler(const char* description, const char* module, int line);
