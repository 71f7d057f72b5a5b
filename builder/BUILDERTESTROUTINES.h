// BUILDERTESTROUTINES: the builder's run-time fault path: the report prepared in advance, the
// "USER" error log entry, the crash backup map and the closing message.
#pragma once

// Prepares the fault report (paths below the current directory, the local time offset).
void PrepareFaultReport();
// Prepares the report and installs BuilderFatalErrorHandler (every loop turn).
void ArmFaultHandler();
// Appends the seven-line entry to "USER/ERR!!!!.txt", writes the map to "USER/_LAZARUS<date>",
// shows the fatal-error box and ends the builder with exit code 0. Never returns.
[[noreturn]] void BuilderFatalErrorHandler(const char* description, const char* module, int line);
