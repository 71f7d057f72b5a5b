// AI: the steering hook for objects whose descriptor hands their steering to an AI routine.
#pragma once

// The follow mode the world update passes to the hook.
inline constexpr int kAiModeFollow = 15;

// Steers `follower` towards `target` in the given mode. No AI behaviour exists yet: the hook
// leaves the follower as it is, so AI objects simply do not steer.
void RunAI(int target, int follower, int mode);
