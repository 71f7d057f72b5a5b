// BUILDERMESSAGE: the builder's numbered error messages and its requesters (about, quit, new map).
#pragma once
#include <cstdint>
#include <string>

constexpr int kErrorMainWindow = 100;   // "Can Not Open Main Window", then the builder ends
constexpr int kErrorTileWindow = 102;   // no message, the builder ends
constexpr int kErrorNoDefaultDna = 119; // the default descriptor is missing; the builder goes on
constexpr int kErrorSaveDna = 124;      // a descriptor could not be saved; the builder goes on

constexpr const char* kBuilderErrorTitle = "MAP BUILDER ERROR:";

// Shows the message of `code` and ends the builder where the code says so.
void ShowErrorMessage(int code);
// The placed-tile table of `maxTiles` + 1 slots (`bytes` of memory) cannot be allocated: says so
// in the error box and on the error output, naming the value, the memory and the file to change,
// then ends the builder (exit code 0, no fault report).
[[noreturn]] void ShowTileTableTooLarge(int32_t maxTiles, uint64_t bytes);
// `bytes` as a short amount: "512 KiB", "3 MiB", "96 GiB" (rounded up).
std::string MemoryAmountText(uint64_t bytes);
// A map file could not be written: says so, naming the file; the builder goes on.
void ShowMapWriteError(const std::string& path);
// "MAP BUILDER: Quit?": Yes sets the quit flag to 1, No to 0.
void AskQuitBuilder();
// "START NEW MAP ?": true for Yes.
bool AskNewMap();
// The about box, titled "MAP BUILDER MESSAGE:" and a line break.
void ShowAboutMessage();
