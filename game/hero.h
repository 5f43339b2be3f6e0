#pragma once
// The hero's share of the level frame, in the order the frame runs it.
#include "game/game_keys.h"

// Walking and the standing poses.
void HeroWalk(const GameKeys& keys);
// Jump poses, then the special attack or the punch.
void HeroPoseAndAttack(const GameKeys& keys);
// Jump input, gravity and vertical motion.
void HeroJumpAndFall(const GameKeys& keys);
// Ground and walls, found in the locked back buffer (picture and HUD, no sprites yet).
void HeroGroundAndWalls();
// The hero's blows, found as thug colour in the locked back buffer after the thugs were drawn.
void HeroHitsThugs();

// Frames that matter to the attack rules.
constexpr int HERO_PUNCH_RIGHT_CONTACT = 37;
constexpr int HERO_PUNCH_LEFT_CONTACT = 41;
constexpr int HERO_SPECIAL_RIGHT_CONTACT = 45;
constexpr int HERO_SPECIAL_LEFT_CONTACT = 49;
