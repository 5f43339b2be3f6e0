#include "tools/dar3play/net/http_errors.h"

#include <curl/curl.h>

#include <cerrno>

namespace {

const char* ReasonPhrase(long status) {
  switch (status) {
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 410: return "Gone";
    case 416: return "Range Not Satisfiable";
    case 500: return "Internal Server Error";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
    default: return "";
  }
}

std::string WithDetail(const std::string& words, const std::string& detail) {
  return detail.empty() ? words : words + " (" + detail + ")";
}

}  // namespace

std::string DescribeTransferFailure(int code, const std::string& detail, long http_status, long os_error) {
  switch (CURLcode(code)) {
    case CURLE_HTTP_RETURNED_ERROR: {
      const std::string phrase = ReasonPhrase(http_status);
      return "the server answered HTTP " + std::to_string(http_status) + (phrase.empty() ? "" : " " + phrase);
    }
    case CURLE_COULDNT_RESOLVE_HOST: return WithDetail("unknown host", detail);
    case CURLE_COULDNT_RESOLVE_PROXY: return WithDetail("unknown proxy host", detail);
    case CURLE_COULDNT_CONNECT:
      if (os_error == ECONNREFUSED) return "the server refused the connection (nothing listens there)";
      return WithDetail("can't connect to the server", detail);
    case CURLE_OPERATION_TIMEDOUT: return "the server stopped answering";
    case CURLE_SSL_CONNECT_ERROR: return WithDetail("the secure (TLS) connection failed", detail);
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR: return WithDetail("the server's certificate is not trusted", detail);
    case CURLE_TOO_MANY_REDIRECTS: return "redirected too many times";
    case CURLE_UNSUPPORTED_PROTOCOL: return WithDetail("not an http or https address", detail);
    case CURLE_URL_MALFORMAT: return "not a valid web address";
    case CURLE_GOT_NOTHING: return "the server closed the connection without an answer";
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR: return WithDetail("the connection was lost", detail);
    case CURLE_WEIRD_SERVER_REPLY: return "the server's answer is not HTTP";
    default: break;
  }
  return WithDetail(curl_easy_strerror(CURLcode(code)), detail);
}
