// BUILDERENV: the map builder's start values, start-up, the main loop and the program; the
// records it starts are BUILDERRECORDS'.
#pragma once
#include "builder/BUILDERRECORDS.h"

// Start-up steps 2 to 14; true when the main loop is to run (otherwise the builder has ended).
bool StartBuilder();
// One turn of the main loop: wait for an event, handle it, run the keyboard step, arm the
// fault handler.
void RunBuilderLoopTurn();
// The program: start-up, main loop until the quit flag is set, shutdown. Never returns.
[[noreturn]] void RunBuilder();
