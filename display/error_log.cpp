#include "display/error_log.h"

#include <sys/time.h>

#include <cstdarg>
#include <cstring>
#include <ctime>

namespace {
FILE* error_log = nullptr;
constexpr size_t kMessageCapacity = 80;

// "Mon Dec  7 03:20:07.45, 2026\n": ctime's text with the milliseconds after the seconds.
void FormatTimeStamp(char* out, size_t capacity) {
  struct timeval now {};
  gettimeofday(&now, nullptr);
  time_t seconds = now.tv_sec;
  struct tm local {};
  localtime_r(&seconds, &local);
  // The C library's date layout ("Wed Dec  9 23:45:07"), the milliseconds, then the year.
  char clock[32];
  char year[16];
  std::strftime(clock, sizeof clock, "%a %b %e %H:%M:%S", &local);
  std::strftime(year, sizeof year, "%Y\n", &local);
  const auto millis = static_cast<unsigned short>(now.tv_usec / 1000);
  std::snprintf(out, capacity, "%s.%hu, %s", clock, millis, year);
}
}  // namespace

int ErrorLogOpen(const char* name, FILE* stream) {
  // A log already open is finished and closed first, or its file would stay open for good.
  if (error_log) ErrorLogClose();
  bool opened_here = false;
  if (stream) {
    error_log = stream;
  } else {
    if (!name) return 0;
    error_log = std::fopen(name, "w");
    if (!error_log) return 0;
    opened_here = true;
  }
  char stamp[280];
  FormatTimeStamp(stamp, sizeof(stamp));
  ErrorLogWrite("\nOpening Error Output File (%s) on %s\n", name ? name : "", stamp);
  if (opened_here) {
    std::fclose(error_log);
    error_log = std::fopen(name, "a+");
    if (!error_log) return 0;
  }
  return 1;
}

int ErrorLogWrite(const char* format, ...) {
  if (!format || !error_log) return 0;
  char message[kMessageCapacity];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(message, sizeof(message), format, arguments);  // cuts long messages safely
  va_end(arguments);
  std::fputs(message, error_log);
  std::fflush(error_log);
  return 1;
}

int ErrorLogClose() {
  if (!error_log) return 0;
  ErrorLogWrite("\nClosing Error Output File.");
  if (error_log != stdout && error_log != stderr) std::fclose(error_log);
  error_log = nullptr;
  return 1;
}
