// Shoutcast/Icecast ("ICY") in-band metadata: a server asked with "Icy-MetaData: 1" answers
// with "icy-metaint: N" and then sends N audio bytes, one length byte L, L * 16 bytes of text
// such as "StreamTitle='Artist - Title';" (NUL-padded), N audio bytes again, and so on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The count of an icy-metaint header; 0 when it is missing or not a usable count.
size_t ParseMetaint(const std::string& value);

// A metadata block's text (without its padding) and where it stood: after `audio_at` bytes of
// the audio vector Feed appends to.
struct IcyBlock {
  size_t audio_at;
  std::string text;
};

// Takes the metadata blocks out of a stream read in pieces of any size.
class IcySplitter {
 public:
  // metaint 0: the stream carries no metadata, everything is audio.
  explicit IcySplitter(size_t metaint) : metaint_(metaint), audio_left_(metaint) {}

  // Appends the audio of `data` to *audio and each metadata block that ends inside it to
  // *blocks (empty blocks are left out).
  void Feed(const uint8_t* data, size_t size, std::vector<uint8_t>* audio, std::vector<IcyBlock>* blocks);
  bool carries_metadata() const { return metaint_ != 0; }

 private:
  enum class Expect { kAudio, kLength, kText };
  size_t metaint_;
  Expect expect_ = Expect::kAudio;
  size_t audio_left_;  // audio bytes before the next length byte
  size_t text_left_ = 0;
  std::string text_;
};

// The StreamTitle of a metadata block, as UTF-8 (Latin-1 text is converted); false when the
// block names none.
bool FindStreamTitle(const std::string& block, std::string* title);
