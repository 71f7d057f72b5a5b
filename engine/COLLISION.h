// COLLISION: the collision check of one mover against the collision list, and the collision grid
// that finds its partners without visiting every entry. Both ways yield the same partners in
// list order, so the touch reactions (and the random numbers they draw) come as from the plain scan.
#pragma once

// The collision check of one mover: for every listed partner in play whose next-step box overlaps
// the mover's, in list order, the mover's moving axes are blocked and the touch reaction runs.
// During the simulation pass the grid finds the partners; otherwise (and with plainScan set)
// the whole list is scanned.
void CheckCollision(int mover);
// Files every listed collider under its cells; from here until EndCollisionPass the world update
// reports each object whose box may have changed through ColliderChanged.
void BeginCollisionPass();
// Object `index` may have moved, turned, changed speed or steps, or left or joined play: its
// list entries are filed anew.
void ColliderChanged(int index);
// Ends the pass: objects change freely again, and CheckCollision scans the whole list.
void EndCollisionPass();
