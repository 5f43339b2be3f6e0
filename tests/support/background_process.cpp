#include "tests/support/background_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

#include "tests/support/wait.h"

BackgroundProcess::BackgroundProcess(const std::string& command, const std::string& error_file) {
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    setpgid(0, 0);
    dup2(pipe_fds[1], STDOUT_FILENO);
    const int err = open(error_file.empty() ? "/dev/null" : error_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err >= 0) dup2(err, STDERR_FILENO);
    const int in = open("/dev/null", O_RDONLY);
    if (in >= 0) dup2(in, STDIN_FILENO);
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipe_fds[1]);
  out_ = pipe_fds[0];
  if (pid_ > 0) setpgid(pid_, pid_);  // either side may run first
}

BackgroundProcess::~BackgroundProcess() {
  if (pid_ > 0) {
    kill(-pid_, SIGTERM);
    const bool ended =
        test_support::WaitUntil([this] { return !Running(); }, std::chrono::seconds(5), std::chrono::milliseconds(10));
    if (!ended) {
      kill(-pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  if (out_ >= 0) close(out_);
}

bool BackgroundProcess::Running() {
  if (pid_ <= 0) return false;
  int status = 0;
  const pid_t got = waitpid(pid_, &status, WNOHANG);
  if (got == pid_ || (got < 0 && errno == ECHILD)) {
    pid_ = -1;
    return false;
  }
  return true;
}

bool BackgroundProcess::ReadLine(std::string* line, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      *line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return true;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || out_ < 0) return false;
    pollfd ready{out_, POLLIN, 0};
    if (poll(&ready, 1, int(left.count())) <= 0) continue;
    char block[512];
    const ssize_t got = read(out_, block, sizeof block);
    if (got <= 0) return false;
    pending_.append(block, size_t(got));
  }
}

int FreeTcpPort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  int port = -1;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
    port = ntohs(address.sin_port);
  close(fd);
  return port;
}

namespace {

// A connected socket to 127.0.0.1:port, or -1.
int Connect(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(uint16_t(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
  close(fd);
  return -1;
}

}  // namespace

bool WaitForTcpPort(int port, std::chrono::milliseconds limit) {
  auto accepts = [port] {
    const int fd = Connect(port);
    if (fd >= 0) close(fd);
    return fd >= 0;
  };
  return test_support::WaitUntil(accepts, limit, std::chrono::milliseconds(20));
}

int HttpGetStatus(int port, const std::string& path) {
  const int fd = Connect(port);
  if (fd < 0) return 0;
  const std::string request = "GET " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
  std::string reply;
  if (write(fd, request.data(), request.size()) == ssize_t(request.size())) {
    char block[256];
    ssize_t got;
    while (reply.find('\n') == std::string::npos && (got = read(fd, block, sizeof block)) > 0)
      reply.append(block, size_t(got));
  }
  close(fd);
  // "HTTP/1.0 200 OK"
  const size_t space = reply.find(' ');
  return space == std::string::npos ? 0 : std::atoi(reply.c_str() + space + 1);
}
