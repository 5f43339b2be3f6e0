// The thugs' state machine on synthetic screens: patrol, presence, alert, chase, attack.
#include "game/thugs.h"

#include <gtest/gtest.h>

#include <set>

#include "level_fixture.h"

namespace {

class ThugsTest : public LevelFixture {
 protected:
  // What the level frame does at its end.
  static void EndFrame() {
    if (HitCooldown < 3) HitCooldown += 1;
  }
};

TEST(CrtRandom, IsTheClassicUnseededSequence) {
  CrtSrand(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
  for (int value : expected) EXPECT_EQ(CrtRand(), value);
  CrtSrand(1);
  EXPECT_EQ(CrtRand(), 41);
}

TEST_F(ThugsTest, PatrolWalksBetweenRandomLimits) {
  Hero.x = -500;  // far away: nobody notices him
  Sprite& thug = PlaceThug(0, 300, THUG_WALK_RIGHT);
  ThugsUpdate();
  EXPECT_FLOAT_EQ(thug.x, 302.0f) << "41 % 50 puts the right limit at 599";
  ThugsUpdate();
  EXPECT_FLOAT_EQ(thug.x, 304.0f);

  std::set<int> anims;
  float lowest = thug.x, highest = thug.x;
  for (int frame = 0; frame < 3000; ++frame) {
    ThugsUpdate();
    anims.insert(thug.current_anim);
    lowest = std::min(lowest, thug.x);
    highest = std::max(highest, thug.x);
  }
  EXPECT_EQ(anims, (std::set<int>{THUG_WALK_RIGHT, THUG_WALK_LEFT}));
  // Limits 0..199 on the left, 591..640 on the right, each passed by at most one step.
  EXPECT_GE(lowest, -2.0f);
  EXPECT_LT(lowest, 200.0f);
  EXPECT_GE(highest, 590.0f);
  EXPECT_LE(highest, 642.0f);
}

TEST_F(ThugsTest, PresenceOnlyChangesPatrollingAndDormantThugs) {
  Hero.x = -500;
  Sprite& off = PlaceThug(0, 700, THUG_WALK_LEFT);
  Sprite& partly = PlaceThug(1, 600, THUG_WALK_LEFT, THUG_DORMANT);
  Sprite& chasing = PlaceThug(2, 900, THUG_WALK_LEFT, THUG_CHASE);
  Sprite& back = PlaceThug(3, 300, THUG_WALK_LEFT, THUG_DORMANT);
  ThugsUpdate();
  EXPECT_EQ(off.counters[THUG_STATE], THUG_DORMANT);
  EXPECT_FLOAT_EQ(off.x, 700.0f) << "a dormant thug does nothing";
  EXPECT_EQ(partly.counters[THUG_STATE], THUG_DORMANT) << "partly visible keeps its state";
  EXPECT_EQ(chasing.counters[THUG_STATE], THUG_CHASE);
  EXPECT_FLOAT_EQ(chasing.x, 897.0f) << "a chasing thug chases from off screen";
  EXPECT_EQ(back.counters[THUG_STATE], THUG_PATROL);
}

TEST_F(ThugsTest, AlertedPoseLasts31FramesThenChase) {
  Hero.x = 100;
  Sprite& thug = PlaceThug(0, 300, THUG_WALK_RIGHT, THUG_ALERTED);
  int alerted_frames = 0;
  while (thug.counters[THUG_STATE] == THUG_ALERTED && alerted_frames < 100) {
    ThugsUpdate();
    ++alerted_frames;
    if (thug.counters[THUG_STATE] == THUG_ALERTED) {
      EXPECT_EQ(thug.current_anim, THUG_ALERT_LEFT);
    }
  }
  // The frame that selects the pose, 30 counted frames, and the frame that starts the chase.
  EXPECT_EQ(alerted_frames, 32);
  EXPECT_EQ(thug.current_anim, THUG_WALK_LEFT);
  EXPECT_FLOAT_EQ(thug.x, 300.0f);
  ThugsUpdate();
  EXPECT_FLOAT_EQ(thug.x, 297.0f);

  // Level with the hero: no pose, only the count.
  Sprite& level = PlaceThug(1, 100, THUG_WALK_RIGHT, THUG_ALERTED);
  ThugsUpdate();
  EXPECT_EQ(level.current_anim, THUG_WALK_RIGHT);
  EXPECT_EQ(level.counters[THUG_ALERT_FRAMES], 1);
}

TEST_F(ThugsTest, SightInFrontWithin200AndBehindWithin100) {
  Hero.x = 300;
  Sprite& front_left = PlaceThug(0, 450, THUG_WALK_LEFT);     // d = 150, facing the hero
  Sprite& far_front = PlaceThug(1, 500, THUG_WALK_LEFT);      // d = 200: not below 200
  Sprite& behind = PlaceThug(2, 450, THUG_WALK_RIGHT);        // d = 150, back turned
  Sprite& behind_close = PlaceThug(3, 380, THUG_WALK_RIGHT);  // d = 80, back turned
  Sprite& front_right = PlaceThug(4, 150, THUG_WALK_RIGHT);   // d = -150, facing the hero
  Sprite& close_left = PlaceThug(5, 230, THUG_WALK_LEFT);     // d = -70, back turned
  Sprite& dormant = PlaceThug(6, 350, THUG_WALK_LEFT, THUG_DORMANT);
  ThugsSightAndContact();
  EXPECT_EQ(front_left.counters[THUG_STATE], THUG_ALERTED);
  EXPECT_EQ(far_front.counters[THUG_STATE], THUG_PATROL);
  EXPECT_EQ(behind.counters[THUG_STATE], THUG_PATROL);
  EXPECT_EQ(behind_close.counters[THUG_STATE], THUG_ALERTED);
  EXPECT_EQ(front_right.counters[THUG_STATE], THUG_ALERTED);
  EXPECT_EQ(close_left.counters[THUG_STATE], THUG_ALERTED);
  EXPECT_EQ(dormant.counters[THUG_STATE], THUG_DORMANT);
  EXPECT_EQ(MessageMode, 2);
}

TEST_F(ThugsTest, ChaseAttackAndBackByTheHerosColour) {
  Hero.x = 100;
  Sprite& thug = PlaceThug(0, 200, THUG_WALK_RIGHT, THUG_CHASE);
  ThugsUpdate();
  EXPECT_FLOAT_EQ(thug.x, 197.0f);
  EXPECT_EQ(thug.current_anim, THUG_WALK_LEFT);

  // The hero's colour inside the thug's box (x, y+25)..(x+w, y+h).
  Paint(210, 300, 215, 310, COLOR_HERO);
  ThugsSightAndContact();
  EXPECT_EQ(thug.counters[THUG_STATE], THUG_ATTACK);
  ThugsUpdate();
  EXPECT_EQ(thug.current_anim, THUG_ATTACK_LEFT);
  EXPECT_FLOAT_EQ(thug.x, 194.0f) << "keeps pressing";

  Paint(210, 300, 215, 310, 0);
  ThugsSightAndContact();
  EXPECT_EQ(thug.counters[THUG_STATE], THUG_CHASE);
  ThugsUpdate();
  EXPECT_EQ(thug.current_anim, THUG_WALK_LEFT);
}

TEST_F(ThugsTest, BlowsShareOneCooldown) {
  Hero.x = 300;
  Sprite& first = PlaceThug(3, 330, THUG_ATTACK_LEFT, THUG_ATTACK);
  Sprite& second = PlaceThug(5, 270, THUG_ATTACK_RIGHT, THUG_ATTACK);
  std::vector<int> blow_frames;
  std::vector<float> hero_pushes;
  for (int frame = 1; frame <= 8; ++frame) {
    // Both show the blow frame of their swing to the right.
    first.current_frame = THUG_BLOW_RIGHT_FRAME;
    second.current_frame = THUG_BLOW_RIGHT_FRAME;
    const int health = Health;
    const float hero_x = Hero.x;
    ThugsUpdate();
    if (Health != health) {
      blow_frames.push_back(frame);
      hero_pushes.push_back(Hero.x - hero_x);
      EXPECT_EQ(Health, health - 2) << "only one blow lands per frame";
    }
    EndFrame();
  }
  EXPECT_EQ(blow_frames, (std::vector<int>{1, 4, 7}));
  for (float push : hero_pushes) EXPECT_FLOAT_EQ(push, 20.0f);
  EXPECT_EQ(Rage, 40);

  first.current_frame = THUG_BLOW_LEFT_FRAME;
  second.current_frame = 0;
  HitCooldown = HIT_COOLDOWN_READY;
  const float hero_x = Hero.x;
  ThugsUpdate();
  EXPECT_FLOAT_EQ(Hero.x, hero_x - 20.0f);
  EXPECT_EQ(HitCooldown, 0);
}

TEST_F(ThugsTest, RageFromBlowsStopsAt100) {
  Hero.x = 300;
  Sprite& thug = PlaceThug(0, 330, THUG_ATTACK_LEFT, THUG_ATTACK);
  Rage = 98;
  thug.current_frame = THUG_BLOW_RIGHT_FRAME;
  ThugsUpdate();
  EXPECT_EQ(Rage, 100);
}

TEST_F(ThugsTest, WallsTurnPatrolsButNotAttackers) {
  Hero.x = -500;
  Sprite& left_walker = PlaceThug(0, 300, THUG_WALK_LEFT);
  Sprite& attacker = PlaceThug(1, 300, THUG_ATTACK_LEFT, THUG_ATTACK);
  // Inside the left box (x+5..x+32, y+29..y+62) of both.
  Paint(310, 280, 315, 290, COLOR_SOLID);
  ThugsWallTurn();
  EXPECT_EQ(left_walker.current_anim, THUG_WALK_RIGHT);
  EXPECT_EQ(attacker.current_anim, THUG_ATTACK_LEFT);

  Paint(310, 280, 315, 290, 0);
  Paint(360, 280, 365, 290, COLOR_SOLID);  // right box x+40..x+67
  ThugsWallTurn();
  EXPECT_EQ(left_walker.current_anim, THUG_WALK_LEFT);
}

TEST_F(ThugsTest, KnockedOutThugsTakeNoPart) {
  Hero.x = 100;
  Sprite& thug = PlaceThug(0, 200, THUG_WALK_LEFT, THUG_CHASE);
  DestroySprite(&thug);
  ThugsUpdate();
  ThugsSightAndContact();
  EXPECT_FLOAT_EQ(thug.x, 200.0f);
}

}  // namespace
