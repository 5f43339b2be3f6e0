#include "tools/dar3play/net/url_password.h"

#include <algorithm>
#include <cctype>

namespace {

bool AllDigits(const std::string& text, size_t from, size_t to) {
  return std::all_of(text.begin() + long(from), text.begin() + long(to),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

}  // namespace

std::string HidePassword(const std::string& location) {
  const size_t scheme_end = location.find("://");
  if (scheme_end == std::string::npos || scheme_end == 0) return location;
  // The authority runs to the first '/', '?' or '#'; its user information ends at its last '@'
  // (an '@' in the password itself is written %40), as libcurl reads it.
  const size_t authority = scheme_end + 3;
  const size_t authority_end = std::min(location.find_first_of("/?#", authority), location.size());
  size_t at = location.find_last_of('@', authority_end == authority ? authority : authority_end - 1);
  if (at == std::string::npos || at < authority) {
    // A password holding a bare '/', '?' or '#' ends the authority early and leaves a "port"
    // that is no number: the address is broken, but the password is still in it.
    const size_t colon = location.find(':', authority);
    if (colon >= authority_end || AllDigits(location, colon + 1, authority_end)) return location;
    at = location.rfind('@');
    if (at == std::string::npos || at < authority_end) return location;
  }
  const size_t colon = location.find(':', authority);
  if (colon >= at) return location;  // a user name alone
  return location.substr(0, colon + 1) + "***" + location.substr(at);
}
