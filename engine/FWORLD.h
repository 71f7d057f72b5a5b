// FWORLD: the world tables and the per-frame world update.
#pragma once

// Sizes the object, template and collision tables to MAXOBJECTS + 1 zeroed entries.
void SetUpWorldTables();
// Number of entries of the object tables (MAXOBJECTS + 1, at least 1).
int ObjectCapacity();
// One frame of the world: clear the screen, draw every object, count the frame.
void UpdateWorld();
// Counts one frame; once a second stores the frame rate and lowers a slow frame's delay.
void CountFrame();
