#include "tests/support/encoded_files.h"

#include <fstream>
#include <random>

#include "tests/support/tool_runner.h"

namespace {

bool Run(const std::string& command, std::string* why_not) {
  const RunResult r = RunCommand(command);
  if (r.status != 0) *why_not = command + " failed: " + r.err;
  return r.status == 0;
}

EncodedFiles* Build(std::string* why_not) {
  static ScratchDir scratch;  // lives as long as the test program
  auto* f = new EncodedFiles;
  f->dir = scratch.path();
  f->cbr = scratch / "cbr.mp3";
  f->vbr = scratch / "vbr.mp3";
  f->mono = scratch / "mono.mp3";
  f->long_sweep = scratch / "long sweep.mp3";
  f->garbage = scratch / "garbage.mp3";
  const std::string stereo = Quote((scratch / "stereo.wav").string());
  const std::string mono = Quote((scratch / "mono.wav").string());
  const std::string sweep = Quote((scratch / "sweep.wav").string());
  const bool ok =
      Run("sox -n -r 44100 -c 2 -b 16 " + stereo + " synth 6 sine 440 sine 660 gain -6", why_not) &&
      Run("sox -n -r 22050 -c 1 -b 16 " + mono + " synth 6 sine 300-2000 gain -6", why_not) &&
      Run("sox -n -r 44100 -c 2 -b 16 " + sweep + " synth 40 sine 200-4000 sine 500 gain -6", why_not) &&
      Run("lame --quiet -b 128 " + stereo + " " + Quote(f->cbr.string()), why_not) &&
      Run("lame --quiet -V 2 " + stereo + " " + Quote(f->vbr.string()), why_not) &&
      Run("lame --quiet -m m -b 64 " + mono + " " + Quote(f->mono.string()), why_not) &&
      Run("lame --quiet -b 128 " + sweep + " " + Quote(f->long_sweep.string()), why_not) &&
      Run("id3v2 -t 'Night Falls' -a 'Jed Band' -A 'City Lights' -y 1999 -T 7 " + Quote(f->cbr.string()), why_not) &&
      Run("mid3v2 -t 'Grüße aus Köln' -a 'Ünïcode Artist' -A 'Vbr Album' -y 2024 " + Quote(f->vbr.string()), why_not) &&
      Run("id3v2 -t 'Long Sweep' -a 'Tester' " + Quote(f->long_sweep.string()), why_not);
  if (!ok) return nullptr;
  std::mt19937 random(7);
  std::ofstream garbage(f->garbage, std::ios::binary);
  for (int i = 0; i < 20000; ++i) garbage.put(char(random()));
  return f;
}

}  // namespace

const EncodedFiles* GetEncodedFiles(std::string* why_not) {
  static std::string failure;
  static const EncodedFiles* files = Build(&failure);
  *why_not = failure;
  return files;
}
