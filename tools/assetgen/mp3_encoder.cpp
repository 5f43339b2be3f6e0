#include "tools/assetgen/mp3_encoder.h"

#include <lame/lame.h>

#include <memory>
#include <stdexcept>

namespace assetgen {

Bytes EncodeMp3(const StereoMix& mix, const TrackSpec& spec) {
  std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> gf(lame_init(), lame_close);
  if (!gf) throw std::runtime_error("lame_init failed");
  lame_set_in_samplerate(gf.get(), mix.rate());
  lame_set_out_samplerate(gf.get(), spec.sample_rate);
  lame_set_num_channels(gf.get(), 2);
  lame_set_mode(gf.get(), JOINT_STEREO);
  lame_set_quality(gf.get(), 5);
  lame_set_write_id3tag_automatic(gf.get(), 0);
  if (spec.mode == Bitrate::kVariable) {
    lame_set_VBR(gf.get(), vbr_mtrh);
    lame_set_VBR_quality(gf.get(), float(spec.kbps_or_quality));
    lame_set_bWriteVbrTag(gf.get(), 1);
  } else {
    lame_set_VBR(gf.get(), vbr_off);
    lame_set_brate(gf.get(), spec.kbps_or_quality);
    lame_set_bWriteVbrTag(gf.get(), 0);
  }
  if (lame_init_params(gf.get()) < 0) throw std::runtime_error("lame rejected the settings for " + spec.file_name);

  Bytes out;
  const size_t chunk = 8192;
  std::vector<unsigned char> buffer(chunk * 5 / 4 + 7200);
  for (size_t pos = 0; pos < mix.frames(); pos += chunk) {
    const int n = int(std::min(chunk, mix.frames() - pos));
    int got = lame_encode_buffer_ieee_float(gf.get(), mix.left().data() + pos, mix.right().data() + pos, n,
                                            buffer.data(), int(buffer.size()));
    if (got < 0) throw std::runtime_error("lame failed while encoding " + spec.file_name);
    out.insert(out.end(), buffer.begin(), buffer.begin() + got);
  }
  int got = lame_encode_flush(gf.get(), buffer.data(), int(buffer.size()));
  if (got < 0) throw std::runtime_error("lame failed to flush " + spec.file_name);
  out.insert(out.end(), buffer.begin(), buffer.begin() + got);
  if (spec.mode == Bitrate::kVariable) {
    // The first frame was reserved for the Xing/LAME header; fill it in now the totals are known.
    size_t tag = lame_get_lametag_frame(gf.get(), buffer.data(), buffer.size());
    if (tag == 0 || tag > out.size()) throw std::runtime_error("no VBR header for " + spec.file_name);
    std::copy(buffer.begin(), buffer.begin() + long(tag), out.begin());
  }
  return out;
}

}  // namespace assetgen
