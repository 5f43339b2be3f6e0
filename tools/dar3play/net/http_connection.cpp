#include "tools/dar3play/net/http_connection.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>

#include "tools/dar3play/net/http_errors.h"

namespace {

// The body waiting to be read stays below this; the transfer pauses until it is read.
constexpr size_t kMaxBuffered = 256 * 1024;
constexpr long kConnectTimeoutS = 10;
// A connection that brings no byte for this long counts as lost.
constexpr long kStalledS = 15;
constexpr int kWaitMs = 100;  // how soon a waiting read notices `stop`

std::string Trim(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

size_t HttpConnection::OnBody(char* data, size_t size, size_t count, void* self) {
  auto* c = static_cast<HttpConnection*>(self);
  if (c->buffered() >= kMaxBuffered) {
    c->paused_ = true;
    return CURL_WRITEFUNC_PAUSE;  // handed over again once the transfer goes on
  }
  c->body_.append(data, size * count);
  return size * count;
}

size_t HttpConnection::OnHeader(char* data, size_t size, size_t count, void* self) {
  auto* c = static_cast<HttpConnection*>(self);
  const std::string line(data, size * count);
  // Each reply of a redirection starts with its status line; only the last one's headers count.
  if (line.compare(0, 5, "HTTP/") == 0 || line.compare(0, 4, "ICY ") == 0) {
    c->headers_.clear();
  } else if (const size_t colon = line.find(':'); colon != std::string::npos) {
    std::string name = Trim(line.substr(0, colon));
    for (char& ch : name) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    c->headers_[name] = Trim(line.substr(colon + 1));
  }
  return size * count;
}

std::unique_ptr<HttpConnection> HttpConnection::Open(const std::string& url, uint64_t offset,
                                                     const std::atomic<bool>& stop, std::string* why, long* status) {
  InitCurlOnce();
  std::unique_ptr<HttpConnection> c(new HttpConnection);
  CURL* easy = curl_easy_init();
  c->easy_ = easy;
  c->multi_ = curl_multi_init();
  if (!easy || !c->multi_) {
    *why = "can't start a web transfer (out of memory)";
    return nullptr;
  }
  auto* headers = curl_slist_append(nullptr, "Icy-MetaData: 1");
  c->request_headers_ = headers;
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(easy, CURLOPT_USERAGENT, "dar3play");
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);  // the feeder is not the main thread
  curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutS);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, kStalledS);
  curl_easy_setopt(easy, CURLOPT_TCP_KEEPALIVE, 1L);
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, c->error_text_);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpConnection::OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, c.get());
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpConnection::OnHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, c.get());
  const std::string range = std::to_string(offset) + "-";
  if (offset) curl_easy_setopt(easy, CURLOPT_RANGE, range.c_str());
  curl_multi_add_handle(c->multi_, easy);

  while (!c->finished_ && c->buffered() == 0 && !stop) c->Pump();
  // A reply that broke off after some data gives that data first; Read tells the break.
  if (c->finished_ && c->result_ != CURLE_OK && c->buffered() == 0) {
    *why = c->Failure();
    if (status) curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, status);
    return nullptr;
  }
  if (stop && c->buffered() == 0 && !c->finished_) {
    *why = "interrupted";
    return nullptr;
  }
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &c->reply_.status);
  curl_off_t length = -1;
  curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  c->reply_.content_length = length;
  c->reply_.station = c->headers_["icy-name"];
  c->reply_.metaint = c->headers_["icy-metaint"];
  return c;
}

HttpConnection::~HttpConnection() {
  if (multi_ && easy_) curl_multi_remove_handle(multi_, easy_);
  if (easy_) curl_easy_cleanup(easy_);
  if (multi_) curl_multi_cleanup(multi_);
  curl_slist_free_all(static_cast<curl_slist*>(request_headers_));
}

void HttpConnection::Pump() {
  int running = 0;
  curl_multi_perform(multi_, &running);
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
    if (message->msg == CURLMSG_DONE) {
      finished_ = true;
      result_ = message->data.result;
    }
  }
  if (!finished_ && buffered() == 0) curl_multi_poll(multi_, nullptr, 0, kWaitMs, nullptr);
}

std::string HttpConnection::Failure() const {
  long status = 0, os_error = 0;
  curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_getinfo(easy_, CURLINFO_OS_ERRNO, &os_error);
  std::string detail = error_text_;
  while (!detail.empty() && (detail.back() == '\n' || detail.back() == '.')) detail.pop_back();
  return DescribeTransferFailure(result_, detail, status, os_error);
}

long HttpConnection::Read(uint8_t* into, size_t size, const std::atomic<bool>& stop, std::string* why) {
  while (buffered() == 0) {
    if (finished_) {
      if (result_ == CURLE_OK) return 0;
      *why = Failure();
      return -1;
    }
    if (stop) return 0;
    Pump();
  }
  const size_t n = std::min(size, buffered());
  std::memcpy(into, body_.data() + read_at_, n);
  read_at_ += n;
  if (read_at_ == body_.size()) {
    body_.clear();
    read_at_ = 0;
  } else if (read_at_ >= kMaxBuffered / 2) {
    body_.erase(0, read_at_);
    read_at_ = 0;
  }
  if (paused_ && buffered() < kMaxBuffered / 2) {
    paused_ = false;
    curl_easy_pause(easy_, CURLPAUSE_CONT);
  }
  return long(n);
}
