// FWORLD: the world tables and the per-frame world update.
#pragma once

// Sizes the object, template and collision tables to MAXOBJECTS + 1 zeroed entries.
void SetUpWorldTables();
// One frame of the world: clear, simulate, draw, screen effects, frame count, end-of-frame pass.
void UpdateWorld();
// Counts one frame; once a second stores the frame rate and lowers a slow frame's delay.
void CountFrame();
