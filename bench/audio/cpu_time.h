#pragma once
// CPU time of the calling thread: the headless engine mixes on the thread that pulls.
#include <ctime>

namespace bench_audio {

inline double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
}

}  // namespace bench_audio
