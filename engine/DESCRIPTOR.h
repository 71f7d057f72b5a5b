// DESCRIPTOR: the tile kinds' behaviour descriptors and their copy into world objects.
#pragma once

// Reads GFX + tile name + ".dll" into the tile's descriptor; a missing file leaves it all zero.
void LoadTileDescriptor(int tileIndex);
// Copies the tile kind's behaviour values into the object; a collision value of exactly 1
// appends the object to the collision list.
void CopyDescriptorToObject(int tileIndex, int objectIndex);
// Takes the object's initial values for re-arming projectiles, when it is the first of its name.
void RegisterObjectTemplate(int objectIndex);
// Hide-on-start: 1 takes the object out of play, 2 makes it fully transparent.
void ApplyHideOnStart(int objectIndex);
