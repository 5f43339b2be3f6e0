#include "game/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string Reason(const std::string& what, const std::string& path, int error_number) {
  return what + " " + path + ": " + std::strerror(error_number);
}

bool MakeFolders(const std::string& path, std::string* error) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    const std::string folder = path.substr(0, slash);
    if (mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST) continue;
    *error = Reason("cannot make", folder, errno);
    return false;
  }
  return true;
}

bool WriteAll(int fd, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

}  // namespace

FileRead ReadWholeFile(const std::string& path, std::string* text, std::string* error) {
  text->clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return FileRead::Missing;
    *error = Reason("cannot open", path, errno);
    return FileRead::Failed;
  }
  char buffer[8192];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      *error = Reason("cannot read", path, errno);
      ::close(fd);
      return FileRead::Failed;
    }
    if (got == 0) break;
    text->append(buffer, static_cast<size_t>(got));
  }
  ::close(fd);
  return FileRead::Read;
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error) {
  if (!MakeFolders(path, error)) return false;
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    *error = Reason("cannot write in the folder of", path, errno);
    return false;
  }
  ::fchmod(fd, 0644);
  bool done = WriteAll(fd, text) && ::fsync(fd) == 0;
  int failure = errno;
  if (::close(fd) != 0 && done) {
    done = false;
    failure = errno;
  }
  if (done && ::rename(temporary.c_str(), path.c_str()) != 0) {
    done = false;
    failure = errno;
  }
  if (!done) {
    *error = Reason("cannot write", path, failure);
    ::unlink(temporary.c_str());
  }
  return done;
}
