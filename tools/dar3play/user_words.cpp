#include "tools/dar3play/user_words.h"

namespace {

struct Wording {
  const char* contains;
  const char* words;
};

// Matched by a part of the message, so the function name in front does not matter.
const Wording kWordings[] = {
    {"Can't find first valid mp3 frame", "not an MP3 file, or damaged"},
    {"There is no mp3 frame", "not an MP3 file, or damaged"},
    {"Can't open file", "can't open the file"},
    {"This is managed stream. Can't seek", "a live stream cannot seek"},
    {"This is dynamic stream. Can't play in loop", "a live stream cannot loop"},
    {"This is managed stream. Can't use reverse mode", "a live stream cannot play backwards"},
    {"Stream is in reverse mode. Can't play loop", "can't loop while playing backwards"},
    {"Loop end time is smaller than loop start time", "the loop ends before it starts"},
    {"Can't open wave output", "can't open the sound device"},
    {"Can't initialize wave out", "can't open the sound device"},
    {"There is no wave-out devices", "no sound device"},
    {"nIndex is out of bounds", "no such sound device"},
    {"Memory allocation error", "out of memory"},
    {"Can't allocate", "out of memory"},
    {"Can't reallocate", "out of memory"},
    {"Stream isn't open", "nothing is playing"},
    {"Playback was started meanwhile", "playback was already starting"},
    {"Can't create decoding thread", "can't start playing (out of system resources)"},
};

}  // namespace

std::string UserWords(const std::string& library_message) {
  for (const Wording& w : kWordings)
    if (library_message.find(w.contains) != std::string::npos) return w.words;
  // Unknown texts lose the function name and the shouting, and keep their meaning.
  std::string text = library_message;
  const size_t arrow = text.find("->");
  if (arrow != std::string::npos) text.erase(0, arrow + 2);
  while (!text.empty() && (text.back() == ' ' || text.back() == '!')) text.pop_back();
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' && !(text.size() > 1 && text[1] >= 'A' && text[1] <= 'Z'))
    text[0] = char(text[0] - 'A' + 'a');
  return text;
}
