#pragma once
// What the options screen shows and does, without drawing: a list of settings the player walks
// with Up and Down (keys or D-pad), changes with Left and Right, and chooses with Enter (or A);
// a binding waits for the key or button to use. Every change is applied at once and reported
// through the change callback (which saves the settings file).
#include <functional>
#include <string>
#include <vector>

#include "game/settings.h"
#include "platform/desktop.h"

class OptionsMenu {
 public:
  OptionsMenu(SoundVolumes* volumes, std::function<void()> changed);

  // One press (from platform::TakePress). False once the player left the menu.
  bool Press(const platform::PressedControl& press);

  // The lines to draw, "> " before the chosen one.
  std::vector<std::string> Lines() const;
  // A one-line answer to the last press ("" for none): a refused binding, what to press now.
  const std::string& Notice() const { return notice_; }
  int Selected() const { return selected_; }
  bool Waiting() const { return waiting_; }

 private:
  enum class Move { None, Up, Down, Left, Right, Choose, Back };
  static Move MoveOf(const platform::PressedControl& press);
  void Change(int direction);
  void Choose();
  void Bind(const platform::PressedControl& press);

  SoundVolumes* volumes_;
  std::function<void()> changed_;
  int selected_ = 0;
  bool waiting_ = false;
  std::string notice_;
};
