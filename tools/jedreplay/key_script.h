#pragma once
// Key scripts: which keys are held in which presented frame.
//
// One line per range: "<first>[-<last>] <key>...", frames counted from 1 (the first frame the
// game presents); keys are left right up down space shift enter escape. Later lines add to
// earlier ones; '#' starts a comment. Frames no line names have no key held.
//
// Recorded runs add two things older scripts never use: a line "seed <number>" (the random
// sequence the run starts from; without it the game's own start), and the words "close" (the
// window was closed or the program signalled) and "unfocus" (the window lost the focus) among
// the keys, which happen once, before the first frame of their line. Screens that wait for a key
// press (the options) read "press:NAME" (a keyboard key by SDL scancode name, '_' for a space:
// press:Left_Shift) and "pad:NAME" (a pad button: pad:y), made the same way.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/desktop.h"

class KeyScript {
 public:
  // False (with a message) on a line that does not parse.
  bool Parse(const std::string& text, std::string* error);
  // Keys held in the given frame, as platform::KeyBit masks.
  uint32_t KeysFor(uint64_t frame) const;
  bool empty() const { return ranges_.empty(); }
  uint64_t last_frame() const;
  struct Events {
    bool close = false;
    bool unfocus = false;
    std::vector<platform::PressedControl> presses;
  };
  // What happens before the given frame.
  Events EventsAt(uint64_t frame) const;
  bool has_seed() const { return has_seed_; }
  uint32_t seed() const { return seed_; }

 private:
  struct Range {
    uint64_t first = 0, last = 0;
    uint32_t keys = 0;
    Events events;
  };
  std::vector<Range> ranges_;
  bool has_seed_ = false;
  uint32_t seed_ = 1;
};

// A frame number at the start of text: digits only (no sign, no blanks, no wrap-around).
// Returns the character after it in *end; false when text does not start with one.
bool ParseFrameNumber(const char* text, const char** end, uint64_t* number);

// The key named, as a KeyBit mask; 0 for an unknown name.
uint32_t KeyMaskByName(const std::string& name);
