// DDD_NODE: one frame of the engine: frame delay, the 3D pass with the world update, the 2D
// overlay, the flip.
#pragma once

void RunFrame();
