// ACTIONS: what single objects do within a frame: weapon, fade-in, follow, player steering,
// the random step and the reactions to a touch.
#pragma once

// Looks for a waiting projectile named by the shooter's useWeapon and launches it from
// (px, py); each shooter launches once. Returns the index of the projectile launched, -1: none.
int FireWeapon(int shooter, float px, float py);
// Raises the opacity by fadeIn per frame, up to 255.
void FadeIn(int index);
// Turns the object's non-zero directions towards the first object in play named by followName;
// an AI object hands its steering to the AI hook instead.
void FollowTarget(int follower);
// Sets a player's directions from the joystick (when present and asked for) or the arrow keys.
void SteerPlayer(int player);
// DEFAULTROTOR spin, flicker and random directions; runs twice per simulated frame.
void RandomStep(int index);
// What happens when `mover`'s step would overlap `touched`: conveyors, touch transparency,
// touch rotation, LIGHTBLUE bouncing and pass-through players.
void TouchReaction(int mover, int touched);
