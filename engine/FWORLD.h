// FWORLD: the world tables and the per-frame world update.
#pragma once

// Sizes the object, template and collision tables to MAXOBJECTS + 1 zeroed entries.
void SetUpWorldTables();
// Number of entries of the object tables (MAXOBJECTS + 1, at least 1).
int ObjectCapacity();
// Highest object index the world update visits: the last object index, within the tables.
int LastObjectIndex();
// One frame of the world: clear, simulate, draw, screen effects, frame count, end-of-frame pass.
void UpdateWorld();
// Counts one frame; once a second stores the frame rate and lowers a slow frame's delay.
void CountFrame();
// The plain collision scan of one mover against every entry of the collision list: on each
// overlap of the two next-step boxes it blocks the mover's moving axes and runs the touch reaction.
void CheckCollision(int mover);
