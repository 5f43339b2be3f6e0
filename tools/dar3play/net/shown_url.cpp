#include "tools/dar3play/net/shown_url.h"

std::string ShownUrl(const std::string& url) {
  const size_t scheme_end = url.find("://");
  if (scheme_end == std::string::npos) return url;
  const size_t host_start = scheme_end + 3;
  const size_t authority_end = url.find_first_of("/?#", host_start);
  const size_t at = url.rfind('@', authority_end == std::string::npos ? std::string::npos : authority_end - 1);
  if (at == std::string::npos || at < host_start) return url;
  const size_t colon = url.find(':', host_start);
  if (colon == std::string::npos || colon > at) return url;  // a user name alone is no secret
  return url.substr(0, colon + 1) + "***" + url.substr(at);
}
