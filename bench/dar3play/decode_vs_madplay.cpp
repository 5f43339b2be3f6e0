// CPU time of `dar3play --decode` against `madplay -o wave:` on the same 3-minute 128 kbit/s
// file, runs interleaved so both see the same machine load. Prints medians and their ratio.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 7;

double ChildCpuSeconds(const std::string& command) {
  const pid_t pid = fork();
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", (command + " >/dev/null 2>&1").c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("dar3play-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string wav = (dir / "source.wav").string(), mp3 = (dir / "three-minutes.mp3").string();
  // Music-like content: a sweep over two tones with some noise, so every band carries data.
  const std::string make = "sox -n -r 44100 -c 2 -b 16 '" + wav +
                           "' synth 180 sine 100-5000 sine 440 pinknoise gain -9 && lame --quiet -b 128 '" + wav +
                           "' '" + mp3 + "'";
  if (std::system(make.c_str()) != 0) {
    std::fprintf(stderr, "cannot make the test file (sox, lame)\n");
    return 1;
  }
  const std::string ours =
      "JED_HEADLESS=1 '" DAR3PLAY_PATH "' --decode '" + mp3 + "' '" + (dir / "ours.wav").string() + "'";
  const std::string peer = "madplay -q -o 'wave:" + (dir / "peer.wav").string() + "' '" + mp3 + "'";
  std::vector<double> our_cpu, peer_cpu;
  for (int round = 0; round < kRounds; ++round) {
    our_cpu.push_back(ChildCpuSeconds(ours));
    peer_cpu.push_back(ChildCpuSeconds(peer));
  }
  const double a = Median(our_cpu), b = Median(peer_cpu);
  std::printf("3-minute 128 kbit/s decode to WAV, median CPU of %d runs\n", kRounds);
  std::printf("  dar3play --decode      %.3f s\n", a);
  std::printf("  madplay -o wave:       %.3f s\n", b);
  std::printf("  ratio                  %.3f x (target at most 1.05 x)\n", a / b);
  std::filesystem::remove_all(dir);
  return 0;
}
