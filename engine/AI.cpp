// AI: the steering hook for objects whose descriptor hands their steering to an AI routine.
// It is the place for AI behaviour; today it changes nothing.
#include "engine/AI.h"

void RunAI(int /*target*/, int /*follower*/, int /*mode*/) {}
