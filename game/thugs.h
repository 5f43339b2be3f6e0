#pragma once
// The thugs' share of the level frame, in the order the frame runs it.

// Alert sound for thugs that have just noticed the hero (early in the frame).
void ThugsAlertSound();
// Screen presence and each thug's state step (after the hero moved).
void ThugsUpdate();
// Patrol turns at walls, found in the locked back buffer (picture and HUD only).
void ThugsWallTurn();
// Sight of the hero and contact, found in the locked back buffer after the hero was drawn.
void ThugsSightAndContact();

// Frames in which a thug's blow lands.
constexpr int THUG_BLOW_RIGHT_FRAME = 10;
constexpr int THUG_BLOW_LEFT_FRAME = 14;
constexpr int HIT_COOLDOWN_READY = 3;
