// ID3v2 tags made by the tests themselves, where the taggers cannot make them (a tag as large
// as cover art, a header that claims more than it holds).
#pragma once

#include <cstdint>
#include <vector>

namespace test_support {

// An ID3v2.3 tag: TIT2 `title`, TPE1 `artist` and an APIC of `art` bytes free of sync bytes.
// Its header claims `claimed` bytes of body (0: the body it has).
std::vector<uint8_t> Id3v2TagWithArt(const char* title, const char* artist, uint32_t art, uint32_t claimed = 0);

}  // namespace test_support
