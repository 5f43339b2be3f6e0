#include "game/world.h"

#include <cstring>

#include "dar3/ruve3.hpp"

Sprite Hero;
Sprite Thugs[THUG_COUNT];
Sprite HeroFace;
Sprite ThugFace;
BitmapFile LoadedBitmap;
BitmapImage ScreenImages[SCREEN_COUNT];
BitmapImage EndScreenImage;

const int32_t AnimTables[HERO_ANIM_COUNT + THUG_ANIM_COUNT + 1][FRAMES_PER_ANIM] = {
    {0, 1, 2, 3},     {4, 5, 6, 7},     {8, 9, 10, 11},   {12, 13, 14, 15}, {16, 17, 18, 19},
    {20, 21, 22, 23}, {24, 25, 26, 27}, {28, 29, 30, 31}, {32, 33, 34, 35}, {36, 37, 38, 39},
    {40, 41, 42, 43}, {44, 45, 46, 47}, {48, 49, 50, 51}, {0, 1, 2, 3},     {4, 5, 6, 7},
    {8, 9, 10, 11},   {12, 13, 14, 15}, {16, 17, 18, 19}, {20, 21, 22, 23}, {-1, -1, -1, -1},
};

const ThugPlacement ThugStart[THUG_COUNT] = {
    {1040, 1}, {740, 0},  {1380, 0}, {1580, 0}, {2220, 1}, {2470, 0}, {2760, 0}, {2860, 0}, {3400, 0}, {3500, 0},
    {4040, 0}, {4140, 0}, {4680, 0}, {4780, 0}, {5320, 0}, {5420, 0}, {5960, 0}, {6060, 0}, {6600, 0}, {6800, 1},
    {6900, 0}, {7140, 0}, {7540, 1}, {7780, 0}, {7880, 0}, {7980, 0}, {6600, 1}, {6700, 1}, {6800, 1},
};

int SoundHurt = -1, SoundAlert = -1, SoundPunch = -1, SoundJump = -1, SoundLaugh = -1, SoundSwing = -1;

// Made before main, as the player needs nothing of the platform until it plays.
RUVe3* Mp3Player = CreateRUVe3();

char TitleMusicFile[80] = "ChronoTrigger.mp3";
char StoryMusicFile[80] = "FF6.mp3";
char CityMusicFile[80] = "CandC.mp3";
char FinalMusicFile[80] = "castlevania.mp3";

namespace start {
constexpr int32_t kHealth = 100;
constexpr int32_t kRage = 25;
constexpr int32_t kParTime = 180;
constexpr int32_t kMessageMode = 1;
constexpr int32_t kHitCooldown = 3;
}  // namespace start

int32_t Health = start::kHealth;
int32_t Rage = start::kRage;
int32_t Score = 0;
int32_t ScoreMultiplier = 1;
int32_t ParTime = start::kParTime;
int32_t FrameCounter = 0;
int32_t ScreenIndex = 0;
int32_t MessageMode = start::kMessageMode;
int32_t HitCooldown = start::kHitCooldown;
int32_t StoryPage = 0;
int32_t StoryFrameCount = 0;
uint8_t Landed = 1;
int32_t Airborne = 0, HeroMoved = 0, AttackState = 0, SpecialState = 0, HeroStep = 0;
uint8_t Paused = 0, GameOver = 0, GameWon = 0;
int32_t Knockouts = 0;

void ResetGameValues() {
  Health = start::kHealth;
  Rage = start::kRage;
  Score = 0;
  ScoreMultiplier = 1;
  ParTime = start::kParTime;
  FrameCounter = 0;
  ScreenIndex = 0;
  MessageMode = start::kMessageMode;
  HitCooldown = start::kHitCooldown;
  StoryPage = 0;
  StoryFrameCount = 0;
  Landed = 1;
  Airborne = HeroMoved = AttackState = SpecialState = HeroStep = 0;
  Paused = GameOver = GameWon = 0;
  Knockouts = 0;
}
