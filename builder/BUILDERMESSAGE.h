// BUILDERMESSAGE: the builder's numbered error messages and its requesters (quit, new map).
#pragma once
#include <string>

constexpr int kErrorMainWindow = 100;   // "Can Not Open Main Window", then the builder ends
constexpr int kErrorTileWindow = 102;   // no message, the builder ends
constexpr int kErrorNoDefaultDna = 119; // the default descriptor is missing; the builder goes on
constexpr int kErrorSaveDna = 124;      // a descriptor could not be saved; the builder goes on

constexpr const char* kBuilderErrorTitle = "MAP BUILDER ERROR:";

// Shows the message of `code` and ends the builder where the code says so.
void ShowErrorMessage(int code);
// A map file could not be written: says so, naming the file; the builder goes on.
void ShowMapWriteError(const std::string& path);
// "MAP BUILDER: Quit?": Yes sets the quit flag to 1, No to 0.
void AskQuitBuilder();
// "START NEW MAP ?": true for Yes.
bool AskNewMap();
