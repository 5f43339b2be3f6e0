#include "tools/jedreplay/key_script.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <sstream>

#include "platform/window.h"

using platform::Key;
using platform::KeyBit;

uint32_t KeyMaskByName(const std::string& name) {
  static const struct {
    const char* name;
    Key key;
  } kNames[] = {{"left", Key::Left},   {"right", Key::Right}, {"up", Key::Up},       {"down", Key::Down},
                {"space", Key::Space}, {"shift", Key::Shift}, {"enter", Key::Enter}, {"escape", Key::Escape}};
  for (const auto& entry : kNames)
    if (name == entry.name) return KeyBit(entry.key);
  return 0;
}

bool ParseFrameNumber(const char* text, const char** end, uint64_t* number) {
  if (text == nullptr) return false;
  // from_chars takes digits only: no sign, no blanks, and a value too large is an error.
  const auto [after, failure] = std::from_chars(text, text + std::strlen(text), *number);
  if (failure != std::errc()) return false;
  if (end) *end = after;
  return true;
}

bool KeyScript::Parse(const std::string& text, std::string* error) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string span;
    if (!(words >> span)) continue;
    if (span == "seed") {
      uint64_t seed = 0;
      std::string number_text, rest;
      const char* end = nullptr;
      if (!(words >> number_text) || (words >> rest) || !ParseFrameNumber(number_text.c_str(), &end, &seed) ||
          *end != '\0' || seed > UINT32_MAX) {
        if (error) *error = "line " + std::to_string(number) + ": bad seed line";
        return false;
      }
      has_seed_ = true;
      seed_ = static_cast<uint32_t>(seed);
      continue;
    }
    Range range{};
    const char* end = span.c_str();
    bool parsed = ParseFrameNumber(end, &end, &range.first);
    range.last = range.first;
    if (parsed && *end == '-') parsed = ParseFrameNumber(end + 1, &end, &range.last);
    if (!parsed || *end != '\0' || range.first == 0 || range.last < range.first) {
      if (error) *error = "line " + std::to_string(number) + ": bad frame range \"" + span + "\"";
      return false;
    }
    std::string key;
    while (words >> key) {
      if (key == "close" || key == "unfocus") {
        (key == "close" ? range.events.close : range.events.unfocus) = true;
        continue;
      }
      if (const bool pad = key.rfind("pad:", 0) == 0; (pad || key.rfind("press:", 0) == 0) && key.back() != ':') {
        std::string name = key.substr(key.find(':') + 1);
        std::replace(name.begin(), name.end(), '_', ' ');
        range.events.presses.push_back({pad, name});
        continue;
      }
      const uint32_t mask = KeyMaskByName(key);
      if (mask == 0) {
        if (error) *error = "line " + std::to_string(number) + ": unknown key \"" + key + "\"";
        return false;
      }
      range.keys |= mask;
    }
    ranges_.push_back(range);
  }
  return true;
}

uint32_t KeyScript::KeysFor(uint64_t frame) const {
  uint32_t keys = 0;
  for (const Range& range : ranges_)
    if (frame >= range.first && frame <= range.last) keys |= range.keys;
  return keys;
}

KeyScript::Events KeyScript::EventsAt(uint64_t frame) const {
  Events events;
  for (const Range& range : ranges_)
    if (range.first == frame) {
      events.close = events.close || range.events.close;
      events.unfocus = events.unfocus || range.events.unfocus;
      events.presses.insert(events.presses.end(), range.events.presses.begin(), range.events.presses.end());
    }
  return events;
}

uint64_t KeyScript::last_frame() const {
  uint64_t last = 0;
  for (const Range& range : ranges_) last = std::max(last, range.last);
  return last;
}
