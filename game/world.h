#pragma once
// The game's world: every record and counter lives here as a global for the whole run.
#include <cstdint>

#include "display/bitmap.h"
#include "sprites/sprite.h"

class RUVe3;

constexpr int THUG_COUNT = 29;
constexpr int SCREEN_COUNT = 13;
constexpr int HERO_ANIM_COUNT = 13;
constexpr int THUG_ANIM_COUNT = 6;
constexpr int FRAMES_PER_ANIM = 4;

// Palette indices the collision scans and the HUD rely on.
constexpr int COLOR_SOLID = 64;
constexpr int COLOR_HERO = 103;
constexpr int COLOR_THUG = 150;
constexpr int COLOR_KEY = 196;
constexpr int COLOR_HEALTH = 249;
constexpr int COLOR_RAGE = 252;
constexpr int COLOR_TEXT = 255;

// Thug states, kept in counters[0].
constexpr int THUG_PATROL = 0;
constexpr int THUG_ALERTED = 1;
constexpr int THUG_CHASE = 2;
constexpr int THUG_ATTACK = 3;
constexpr int THUG_DORMANT = 4;
constexpr int THUG_STATE = 0;         // counters index: state
constexpr int THUG_ALERT_FRAMES = 1;  // counters index: frames in the alerted pose
constexpr int THUG_HITS = 2;          // counters index: hits taken

// Hero animations.
enum HeroAnim : int32_t {
  HERO_WALK_RIGHT = 0,
  HERO_STAND_RIGHT = 1,
  HERO_UNUSED = 2,
  HERO_STAND_LEFT = 3,
  HERO_WALK_LEFT = 4,
  HERO_JUMP_UP_RIGHT = 5,
  HERO_JUMP_DOWN_RIGHT = 6,
  HERO_JUMP_UP_LEFT = 7,
  HERO_JUMP_DOWN_LEFT = 8,
  HERO_PUNCH_RIGHT = 9,
  HERO_PUNCH_LEFT = 10,
  HERO_SPECIAL_RIGHT = 11,
  HERO_SPECIAL_LEFT = 12,
};

// Thug animations.
enum ThugAnim : int32_t {
  THUG_WALK_RIGHT = 0,
  THUG_WALK_LEFT = 1,
  THUG_ATTACK_RIGHT = 2,
  THUG_ATTACK_LEFT = 3,
  THUG_ALERT_RIGHT = 4,
  THUG_ALERT_LEFT = 5,
};

// Sprites and pictures.
extern Sprite Hero;
extern Sprite Thugs[THUG_COUNT];
extern Sprite HeroFace;
extern Sprite ThugFace;
extern BitmapFile LoadedBitmap;
extern BitmapImage ScreenImages[SCREEN_COUNT];
extern BitmapImage EndScreenImage;

// Animation tables: the thug rows follow the hero rows, with one readable entry after the last.
extern const int32_t AnimTables[HERO_ANIM_COUNT + THUG_ANIM_COUNT + 1][FRAMES_PER_ANIM];
inline constexpr const int32_t (*HeroAnimTable)[FRAMES_PER_ANIM] = &AnimTables[0];
inline constexpr const int32_t (*ThugAnimTable)[FRAMES_PER_ANIM] = &AnimTables[HERO_ANIM_COUNT];

struct ThugPlacement {
  int32_t x;
  int32_t anim;
};
extern const ThugPlacement ThugStart[THUG_COUNT];
constexpr int32_t THUG_START_Y = 240;

// Sound ids, in load order 0 to 5 (-1 when a load failed).
extern int SoundHurt, SoundAlert, SoundPunch, SoundJump, SoundLaugh, SoundSwing;

// The music player, made during static initialisation and released by LevelShutdown.
extern RUVe3* Mp3Player;
extern char TitleMusicFile[80];
extern char StoryMusicFile[80];
extern char CityMusicFile[80];
extern char FinalMusicFile[80];

// Game values.
extern int32_t Health, Rage, Score, ScoreMultiplier, ParTime, FrameCounter;
extern int32_t ScreenIndex, MessageMode, HitCooldown, StoryPage, StoryFrameCount;
extern uint8_t Landed;
extern int32_t Airborne, HeroMoved, AttackState, SpecialState, HeroStep;
extern uint8_t Paused, GameOver, GameWon;
// Knockouts so far; picks the cries shown in the message bar.
extern int32_t Knockouts;

// Puts every game value above back to its start value (sprites and pictures untouched).
void ResetGameValues();
