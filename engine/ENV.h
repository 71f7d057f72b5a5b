// ENV: the start values of the engine's records, start-up, main loop and shutdown. Only the
// program's entry and the tests call these; the units below ENV include RECORDS.h alone.
#pragma once
#include <string>

#include "engine/RECORDS.h"

// Sets every record to its start value and releases nothing (tests call it between cases).
void SetStartValues();
// The engine's entry: start-up, main loop, shutdown. Never returns; the exit code is 0.
// `startMapFile` (from the command line) replaces the start area's configured map when not "".
[[noreturn]] void RunEngine(const std::string& startMapFile = "");
// The start-up steps between the start values and the main loop: configuration, system texts,
// services, the world screen, the tile library and the world tables.
void RunStartUpSteps();
// The main loop (its step repeated); leaves when Escape and left Alt are held.
void RunMainLoop();
// One pass of the main loop: the quit test, the fault handler armed, input, the frame and the
// area load. False (and nothing else done) when Escape and left Alt are held.
bool RunMainLoopStep();
// After the last step: closes the world screen and ends the engine.
[[noreturn]] void EndWorld();
