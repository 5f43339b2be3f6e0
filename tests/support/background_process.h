// A server a test starts (an HTTP or streaming server, a bus daemon) and always stops: the
// command runs in its own process group, which the destructor ends (SIGTERM, then SIGKILL).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

class BackgroundProcess {
 public:
  // Runs `command` through sh; its standard output is readable line by line, its standard
  // error goes to `error_file` (nowhere when empty).
  explicit BackgroundProcess(const std::string& command, const std::string& error_file = {});
  ~BackgroundProcess();
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // The next line it prints, without its end; false when none came within `limit`.
  bool ReadLine(std::string* line, std::chrono::milliseconds limit);
  // True while the process has not ended.
  bool Running();

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string pending_;
};

// A TCP port on 127.0.0.1 that nothing listens on at the time of asking.
int FreeTcpPort();
// True once something accepts connections on 127.0.0.1:port, within `limit`.
bool WaitForTcpPort(int port, std::chrono::milliseconds limit);
// The status of a GET of http://127.0.0.1:port/path (the connection is closed after the status
// line); 0 when nothing answered.
int HttpGetStatus(int port, const std::string& path);
