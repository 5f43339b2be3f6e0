// The hero's steps on small synthetic screens: jumps, walls, punches and the special attack.
#include "game/hero.h"

#include <gtest/gtest.h>

#include "level_fixture.h"

namespace {

class HeroTest : public LevelFixture {
 protected:
  // The hero's part of a level frame, in the frame's order (no thugs drawn, so no hits).
  void HeroFrame(const GameKeys& keys) {
    HeroWalk(keys);
    HeroPoseAndAttack(keys);
    HeroJumpAndFall(keys);
    AnimateSprite(&Hero);
    HeroGroundAndWalls();
  }
  // The same, with the thug colour already in the buffer, as after the thugs were drawn.
  void FightFrame(const GameKeys& keys) {
    HeroFrame(keys);
    HeroHitsThugs();
  }
  void StandAt(float x) {
    Hero.x = x;
    Hero.y = 240;
    SetSpriteAnimation(&Hero, HERO_STAND_RIGHT);
    HeroFrame({});
    ASSERT_FLOAT_EQ(Hero.y, 240.0f) << "the street at row 309 carries a hero at y = 240";
  }
};

TEST_F(HeroTest, TakeOffGravityAndLanding) {
  PaintStreet();
  StandAt(100);
  EXPECT_EQ(Airborne, 0);
  EXPECT_EQ(Landed, 1);
  EXPECT_EQ(Hero.vel_y, 0.0f);

  HeroFrame(Keys(false, false, true, false, false));
  EXPECT_EQ(Airborne, 1);
  EXPECT_FLOAT_EQ(Hero.vel_y, -6.0f);
  EXPECT_FLOAT_EQ(Hero.y, 234.0f);

  // Released at once: 0.45 of gravity per frame; rising pose from frame 2, falling pose from
  // frame 16 (vel_y turned positive in frame 15), peak in frame 14, landing in frame 28.
  float top = Hero.y;
  int rising_from = 0, falling_from = 0, landed_in = 0;
  for (int frame = 2; frame <= 40 && landed_in == 0; ++frame) {
    HeroFrame({});
    if (rising_from == 0 && Hero.current_anim == HERO_JUMP_UP_RIGHT) rising_from = frame;
    if (falling_from == 0 && Hero.current_anim == HERO_JUMP_DOWN_RIGHT) falling_from = frame;
    if (Hero.y < top) top = Hero.y;
    if (Airborne == 0) landed_in = frame;
  }
  EXPECT_EQ(rising_from, 2);
  EXPECT_EQ(falling_from, 16);
  EXPECT_NEAR(top, 196.95f, 0.01f);
  EXPECT_EQ(landed_in, 28);
  // Landed 2.1 pixels deep, lifted a pixel at a time.
  EXPECT_NEAR(Hero.y, 240.1f, 0.01f);
  EXPECT_EQ(Hero.vel_y, 0.0f);
  EXPECT_EQ(Landed, 1);
  HeroFrame({});
  EXPECT_EQ(Hero.current_anim, HERO_STAND_RIGHT) << "landing turns the falling pose into standing";
}

TEST_F(HeroTest, HeldUpJumpsAgainRightAfterLanding) {
  PaintStreet();
  StandAt(100);
  const GameKeys up = Keys(false, false, true, false, false);
  int landings = 0, take_offs = 0;
  int last_airborne = Airborne;
  for (int frame = 1; frame <= 60; ++frame) {
    HeroFrame(up);
    if (last_airborne == 0 && Airborne == 1) ++take_offs;
    if (last_airborne == 1 && Airborne == 0) {
      ++landings;
      HeroFrame(up);
      EXPECT_EQ(Airborne, 1) << "the frame after a landing takes off again";
      EXPECT_FLOAT_EQ(Hero.vel_y, -6.0f);
      ++take_offs;
      ++frame;
    }
    last_airborne = Airborne;
  }
  EXPECT_EQ(take_offs, 3);
  EXPECT_EQ(landings, 2);
}

TEST_F(HeroTest, NoJumpWhileFallingOffALedge) {
  // No street at all: the hero sinks 8 pixels a frame and Up does nothing.
  Hero.x = 100;
  Hero.y = 100;
  HeroFrame({});
  EXPECT_FLOAT_EQ(Hero.y, 108.0f);
  EXPECT_FLOAT_EQ(Hero.vel_y, 0.1f);
  HeroFrame(Keys(false, false, true, false, false));
  EXPECT_EQ(Airborne, 0);
  EXPECT_FLOAT_EQ(Hero.y, 116.0f);
}

TEST_F(HeroTest, WallsStopTheHeroBothWays) {
  PaintStreet();
  // Two hanging walls clear of the feet, inside the wall boxes (rows 265..302 at y = 240).
  Paint(300, 250, 320, 290, COLOR_SOLID);
  Paint(100, 250, 120, 290, COLOR_SOLID);
  StandAt(200);
  for (int i = 0; i < 30; ++i) HeroFrame(Keys(false, true, false, false, false));
  EXPECT_FLOAT_EQ(Hero.x, 254.0f) << "right wall box x+36..x+45 stops one column short of 300";
  EXPECT_EQ(Hero.current_anim, HERO_WALK_RIGHT);
  for (int i = 0; i < 60; ++i) HeroFrame(Keys(true, false, false, false, false));
  EXPECT_FLOAT_EQ(Hero.x, 95.0f) << "left wall box x+26..x+36 stops one column past 120";
  EXPECT_FLOAT_EQ(Hero.y, 240.0f);
}

TEST_F(HeroTest, SolidScreenEdgeCannotHangTheWallLoops) {
  // Solid everywhere: every scan finds something, also after clamping to the screen edge.
  Paint(0, 0, kWidth - 1, kHeight - 1, COLOR_SOLID);
  Hero.x = 300;
  Hero.y = 200;
  HeroFrame({});
  EXPECT_EQ(Landed, 1);
}

TEST_F(HeroTest, PunchLandsFourTimesAndKnocksOut) {
  PaintStreet();
  StandAt(100);
  Sprite& far = PlaceThug(0, 690, THUG_WALK_LEFT);  // 540 from the fist: in reach, not nearest
  Sprite& near = PlaceThug(1, 170, THUG_WALK_LEFT);
  // Thug colour inside the right fist box (x+36..x+58, y+25..y+62): found in column 150.
  Paint(150, 270, 156, 290, COLOR_THUG);

  const GameKeys space = Keys(false, false, false, true, false);
  std::vector<float> pushes;
  int frames = 0;
  while (near.active && frames < 40) {
    const float before = near.x;
    FightFrame(space);
    ++frames;
    if (near.x != before) pushes.push_back(near.x - before);
    EXPECT_EQ(AttackState, 2);
    EXPECT_EQ(Hero.current_anim, HERO_PUNCH_RIGHT);
  }
  // Frame 37 stays up for four frames, and every one of them lands a blow.
  ASSERT_EQ(pushes.size(), 4u);
  for (float push : pushes) EXPECT_FLOAT_EQ(push, 20.0f);
  EXPECT_EQ(near.active, 0) << "knocked out by the fourth blow";
  EXPECT_EQ(Hero.current_frame, HERO_PUNCH_RIGHT_CONTACT);
  EXPECT_EQ(Rage, 35);
  EXPECT_EQ(Score, 10);
  EXPECT_EQ(MessageMode, 3);
  EXPECT_EQ(Knockouts, 1);
  EXPECT_FLOAT_EQ(far.x, 690.0f);
  EXPECT_EQ(far.counters[THUG_HITS], 0);

  // The next contact frame's blows go to the next nearest live thug.
  for (int frame = 0; frame < 20 && far.counters[THUG_HITS] == 0; ++frame) FightFrame(space);
  EXPECT_EQ(far.counters[THUG_HITS], 1);
  EXPECT_FLOAT_EQ(far.x, 710.0f);
}

TEST_F(HeroTest, BlowWithNoThugWithin600ChangesNothing) {
  Hero.x = 100;
  Hero.y = 240;
  Sprite& thug = PlaceThug(0, 751, THUG_WALK_LEFT);  // |150 - 751| = 601
  Paint(150, 270, 156, 290, COLOR_THUG);
  AttackState = 2;
  Hero.current_frame = HERO_PUNCH_RIGHT_CONTACT;
  HeroHitsThugs();
  EXPECT_FLOAT_EQ(thug.x, 751.0f);
  EXPECT_EQ(thug.counters[THUG_HITS], 0);
  EXPECT_EQ(Score, 0);
}

TEST_F(HeroTest, SpecialWithRageExactly25KeepsHittingWhileShiftIsHeld) {
  PaintStreet();
  StandAt(100);
  Sprite& thug = PlaceThug(0, 170, THUG_WALK_LEFT);
  Paint(150, 270, 156, 290, COLOR_THUG);
  ASSERT_EQ(Rage, 25);

  const GameKeys shift = Keys(false, false, false, false, true);
  FightFrame(shift);
  EXPECT_EQ(SpecialState, 2);
  EXPECT_EQ(Rage, 0);
  EXPECT_EQ(Hero.current_anim, HERO_SPECIAL_RIGHT);

  std::vector<float> pushes;
  for (int frame = 0; frame < 20 && thug.active; ++frame) {
    const float before = thug.x;
    FightFrame(shift);
    if (thug.x != before) pushes.push_back(thug.x - before);
    EXPECT_EQ(SpecialState, 2) << "RAGE is gone but the special goes on";
    if (thug.active) {
      EXPECT_EQ(Rage, 0);
    }
  }
  ASSERT_EQ(pushes.size(), 2u);
  for (float push : pushes) EXPECT_FLOAT_EQ(push, 40.0f);
  EXPECT_EQ(thug.active, 0) << "two special blows of 3 knock out";
  EXPECT_EQ(Rage, 10);

  FightFrame({});
  EXPECT_EQ(SpecialState, 0) << "released Shift ends the special";
}

TEST_F(HeroTest, UpWithShiftNeverStartsASpecial) {
  PaintStreet();
  StandAt(100);
  HeroFrame(Keys(false, false, true, false, true));
  EXPECT_EQ(SpecialState, 0);
  EXPECT_EQ(Rage, 25);
  EXPECT_EQ(Airborne, 1);
}

TEST_F(HeroTest, WalksWhilePunchingButNotDuringASpecial) {
  PaintStreet();
  StandAt(100);
  for (int i = 0; i < 5; ++i) HeroFrame(Keys(false, true, false, true, false));
  // First frame: a walk step, then the punch's own step; then the punch's step only.
  EXPECT_FLOAT_EQ(Hero.x, 124.0f);
  EXPECT_EQ(Hero.current_anim, HERO_PUNCH_RIGHT);

  for (int i = 0; i < 3; ++i) HeroFrame({});
  StandAt(100);
  Rage = 100;
  for (int i = 0; i < 5; ++i) HeroFrame(Keys(false, true, false, false, true));
  // Only the frame that started the special walked.
  EXPECT_FLOAT_EQ(Hero.x, 104.0f);
  EXPECT_EQ(Rage, 0) << "25 RAGE are spent in every frame the special starts";
}

}  // namespace
