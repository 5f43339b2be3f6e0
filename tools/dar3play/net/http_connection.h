// One HTTP(S) GET through libcurl, read by pulling: the reading thread drives the transfer, so
// there is no thread of its own, and the body waits in a bounded buffer (the transfer pauses
// while it is full) until it is read.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

class HttpConnection {
 public:
  struct Reply {
    long status = 0;              // 200, or 206 for a range
    int64_t content_length = -1;  // of this reply's body; -1 when not given (a live stream)
    std::string station;          // icy-name
    std::string metaint;          // icy-metaint, unchecked
  };

  // Sends the request (asking for ICY metadata, and for the body from `offset` on when it is
  // not 0) and waits until the body starts. On failure returns null with the reason in *why,
  // in a listener's words (HTTP errors, refused connections, unknown hosts, TLS failures),
  // and the HTTP status in *status when the server answered with an error.
  static std::unique_ptr<HttpConnection> Open(const std::string& url, uint64_t offset, const std::atomic<bool>& stop,
                                              std::string* why, long* status = nullptr);
  ~HttpConnection();
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;

  const Reply& reply() const { return reply_; }
  // Up to `size` bytes of the body, as many as have come (at least one, waiting if need be).
  // 0 at the end of the body or once `stop` is set; -1 when the transfer failed, with why.
  long Read(uint8_t* into, size_t size, const std::atomic<bool>& stop, std::string* why);

 private:
  HttpConnection() = default;
  static size_t OnBody(char* data, size_t size, size_t count, void* self);
  static size_t OnHeader(char* data, size_t size, size_t count, void* self);
  // Moves the transfer on, waiting a little for the network when nothing is buffered.
  void Pump();
  std::string Failure() const;
  size_t buffered() const { return body_.size() - read_at_; }

  void* easy_ = nullptr;   // CURL*
  void* multi_ = nullptr;  // CURLM*
  void* request_headers_ = nullptr;
  char error_text_[256] = {};
  bool finished_ = false;
  int result_ = 0;  // CURLcode once finished
  bool paused_ = false;
  std::string body_;
  size_t read_at_ = 0;
  std::map<std::string, std::string> headers_;  // of the last reply, names in lower case
  Reply reply_;
};
