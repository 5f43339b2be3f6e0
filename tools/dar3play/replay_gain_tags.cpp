#include "tools/dar3play/replay_gain_tags.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "mp3/format/encoder_gap.h"
#include "mp3/format/leading_tag.h"
#include "mp3/format/vbr_header.h"
#include "mp3/id3/frames.h"
#include "mp3/id3/tag_readers.h"

namespace {

// Tags with cover pictures run to megabytes; beyond this the tag is not read for its gains.
constexpr uint64_t kLargestTag = 64ull << 20;
// A Layer III frame is at most 2881 bytes; the first one is looked for this far after the tags.
constexpr size_t kFrameWindow = 8192;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
  return true;
}

class GainFrames : public id3::FrameVisitor {
 public:
  bool Wants(std::string_view id, int major_version) override {
    return major_version == 2 ? (id == "TXX" || id == "RVA") : (id == "TXXX" || id == "RVA2");
  }

  void Visit(std::string_view id, int, std::span<const uint8_t> body) override {
    if (id == "TXXX" || id == "TXX") {
      ReadTxxx(body);
    } else if (id == "RVA2") {
      ReadRva2(body);
    }
  }

  ReplayGainInfo txxx, rva2;

 private:
  void ReadTxxx(std::span<const uint8_t> body) {
    const id3::DescribedText field = id3::ReadDescribedText(body, 1);
    const std::string& name = field.description;
    if (EqualsIgnoringCase(name, "REPLAYGAIN_TRACK_GAIN")) {
      txxx.track.present = ParseGainDb(field.text, &txxx.track.gain_db);
    } else if (EqualsIgnoringCase(name, "REPLAYGAIN_ALBUM_GAIN")) {
      txxx.album.present = ParseGainDb(field.text, &txxx.album.gain_db);
    } else if (EqualsIgnoringCase(name, "REPLAYGAIN_TRACK_PEAK")) {
      if (!ParsePeak(field.text, &txxx.track.peak)) txxx.track.peak = 0.0;
    } else if (EqualsIgnoringCase(name, "REPLAYGAIN_ALBUM_PEAK")) {
      if (!ParsePeak(field.text, &txxx.album.peak)) txxx.album.peak = 0.0;
    }
  }

  // Identification (Latin-1, ended by NUL), then per channel: type, gain (signed 16 bits, in
  // 1/512 dB), the peak's bit count and the peak. Only the master volume (type 1) counts.
  void ReadRva2(std::span<const uint8_t> body) {
    size_t at = 0;
    while (at < body.size() && body[at] != 0) ++at;
    if (at >= body.size()) return;
    const std::string_view identification(reinterpret_cast<const char*>(body.data()), at);
    GainValue& value = EqualsIgnoringCase(identification, "album") ? rva2.album : rva2.track;
    ++at;
    while (body.size() - at >= 4) {
      const uint8_t type = body[at];
      const int16_t gain = int16_t(uint16_t(body[at + 1] << 8 | body[at + 2]));
      const unsigned bits = body[at + 3];
      const size_t peak_bytes = (bits + 7) / 8;
      at += 4;
      if (peak_bytes > body.size() - at) return;
      if (type == 1) {
        value.present = true;
        value.gain_db = gain / 512.0;
        value.peak = RvaPeak(body.subspan(at, peak_bytes), bits);
        return;
      }
      at += peak_bytes;
    }
  }

  // The peak as a fraction of full scale: its first 32 bits, left-aligned.
  static double RvaPeak(std::span<const uint8_t> bytes, unsigned bits) {
    if (bits == 0) return 0.0;
    const size_t used = std::min<size_t>(bytes.size(), 4);
    uint64_t raw = 0;
    for (size_t i = 0; i < used; ++i) raw = raw << 8 | bytes[i];
    const unsigned used_bits = std::min(bits, 32u);
    raw >>= used * 8 - used_bits;
    return std::ldexp(double(raw), 1 - int(used_bits));
  }
};

// Where a Layer III frame's side information ends: the LAME/Info header begins there.
bool LayerThreeFrame(std::span<const uint8_t> data, VbrFrame* frame) {
  static const uint16_t kBitrates[2][16] = {{0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
                                            {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}};
  static const uint32_t kRates[3] = {44100, 48000, 32000};
  if (data.size() < 4) return false;
  const uint8_t* h = data.data();
  if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return false;
  const unsigned version = (h[1] >> 3) & 3;  // 0 MPEG-2.5, 2 MPEG-2, 3 MPEG-1
  const unsigned layer = (h[1] >> 1) & 3;    // 1 Layer III
  const unsigned bitrate_index = h[2] >> 4, rate_index = (h[2] >> 2) & 3;
  if (version == 1 || layer != 1 || bitrate_index == 0 || bitrate_index == 15 || rate_index == 3) return false;
  const bool lsf = version != 3;
  const uint32_t rate = kRates[rate_index] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
  const uint32_t bitrate = kBitrates[lsf ? 1 : 0][bitrate_index];
  const size_t length = (lsf ? 72000 : 144000) * bitrate / rate + ((h[2] >> 1) & 1);
  const bool mono = (h[3] >> 6) == 3;
  const size_t side_info = lsf ? (mono ? 9 : 17) : (mono ? 17 : 32);
  const size_t ancillary = 4 + ((h[1] & 1) ? 0 : 2) + side_info;
  frame->frame = h;
  frame->frame_length = std::min(length, data.size());
  if (frame->frame_length <= ancillary) return false;
  frame->ancillary = h + ancillary;
  frame->ancillary_bit = 0;
  frame->ancillary_bits = (frame->frame_length - ancillary) * 8;
  frame->samples_per_frame = lsf ? 576 : 1152;
  frame->sample_rate = rate;
  frame->lsf = lsf;
  return true;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::vector<uint8_t> ReadAt(std::FILE* file, uint64_t offset, size_t size) {
  std::vector<uint8_t> bytes(size);
  if (fseeko(file, off_t(offset), SEEK_SET) != 0) return {};
  bytes.resize(std::fread(bytes.data(), 1, size, file));
  return bytes;
}

}  // namespace

bool ReplayGainFromId3v2(std::span<const uint8_t> tag, ReplayGainInfo* info) {
  GainFrames frames;
  id3::WalkId3v2(tag, frames);  // a damaged tag still gives the frames before the damage
  const ReplayGainInfo& found = frames.txxx.track.present || frames.txxx.album.present ? frames.txxx : frames.rva2;
  if (!found.track.present && !found.album.present) return false;
  *info = found;
  info->source = &found == &frames.txxx ? "ID3v2 TXXX" : "ID3v2 RVA2";
  return true;
}

bool ReplayGainFromLameFrame(std::span<const uint8_t> data, ReplayGainInfo* info) {
  VbrFrame frame;
  VbrHeaderInfo header;
  if (!LayerThreeFrame(data, &frame) || !ParseVbrHeader(frame, &header) || !(header.flags & VBR_HAS_LAME)) return false;
  const ReplayGain gain = ReplayGainFromLameTag(header.lame);
  if (!gain.track_present && !gain.album_present) return false;
  *info = ReplayGainInfo{};
  info->track = {gain.track_present, gain.track_gain_db, gain.peak};
  info->album = {gain.album_present, gain.album_gain_db, gain.peak};
  info->source = "LAME tag";
  return true;
}

ReplayGainInfo ReplayGainFromHead(std::span<const uint8_t> head) {
  ReplayGainInfo info;
  // Tags may follow one another; the first frame comes after the last.
  size_t at = 0;
  bool from_tag = false;
  for (int tags = 0; tags < 4 && at < head.size(); ++tags) {
    const uint64_t size = LeadingId3v2Size(head.data() + at, head.size() - at);
    if (size == 0 || size > head.size() - at) break;
    if (!from_tag) from_tag = ReplayGainFromId3v2(head.subspan(at, size_t(size)), &info);
    at += size_t(size);
  }
  if (from_tag) return info;
  const std::span<const uint8_t> window = head.subspan(at, std::min(kFrameWindow, head.size() - at));
  // Junk before the first frame is skipped as the player skips it.
  for (size_t i = 0; i + 4 <= window.size(); ++i) {
    if (window[i] != 0xFF || (window[i + 1] & 0xE0) != 0xE0) continue;
    if (ReplayGainFromLameFrame(window.subspan(i), &info)) break;
    VbrFrame frame;
    if (LayerThreeFrame(window.subspan(i), &frame)) break;  // a first frame without a LAME tag
  }
  return info;
}

ReplayGainInfo ReadReplayGain(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) return {};
  uint64_t tags = 0;
  for (int count = 0; count < 4; ++count) {
    const std::vector<uint8_t> head = ReadAt(file.get(), tags, 10);
    const uint64_t size = LeadingId3v2Size(head.data(), head.size());
    if (size == 0 || tags + size > kLargestTag) break;
    tags += size;
  }
  return ReplayGainFromHead(ReadAt(file.get(), 0, size_t(tags) + kFrameWindow));
}
