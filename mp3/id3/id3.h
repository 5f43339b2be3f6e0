#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// The record and constants of the public C API.
#include "mp3/include/dar3/dar3.h"

// The player's ID3 tag reader: ID3v1 at the end of a stream, ID3v2.2/2.3/2.4 at its start.
// It works on the read-only byte range of the open source and never reads outside it,
// whatever sizes the tag claims.
namespace id3 {

inline constexpr char kStreamNotOpenMessage[] = "LoadID3->Stream isn't open !";
inline constexpr char kNoId3v1Message[] = "DAr3::LoadID3->There is no ID3v1 tag";
inline constexpr char kNoId3v2Message[] = "DAr3::LoadID3->There is no readable ID3v2 tag";
inline constexpr char kNullRecordMessage[] = "LoadID3->MP3_ID3_FIELDS *pFields can't be NULL";
inline constexpr char kBadVersionMessage[] = "LoadID3->Invalid tag version !";

// The ID3v1 genre table as commonly extended: 0 "Blues" .. 147 "Synth Pop".
inline constexpr int kGenreCount = 148;
// Null for a number outside the table.
const char* GenreName(int number);

// An ID3v1 tag is present when the range is longer than 128 bytes and its last 128 bytes
// begin with "TAG" (what the opener marks).
bool HasId3v1(std::span<const uint8_t> source);

// The seven texts of the tag read last, each UTF-8, empty when absent.
struct Id3Texts {
  std::string artist;
  std::string album;
  std::string title;
  std::string comment;
  std::string genre;
  std::string year;
  std::string track;
};

// Owned by the player; one per player object.
class Id3Reader {
 public:
  // LoadID3 once the player has checked that a stream is open. `source` is the whole opened
  // range (source start, source size); `has_id3v1` is the opener's mark. Returns 1 with the
  // record pointing at the texts, or 0 with every record pointer null. A null record fails
  // and reads nothing. `*message` becomes the text to store as the last error, or null when
  // the last error stays as it is (only on success: every failure names its cause).
  int Load(int tag_version, std::span<const uint8_t> source, bool has_id3v1, MP3_ID3_FIELDS* record,
           const char** message);

  // Close frees the tag data: every text becomes empty.
  void Clear();

  const Id3Texts& texts() const { return texts_; }

 private:
  Id3Texts texts_;
};

// Mp3_GetID3Field after its LoadID3 succeeded into `record`. Unknown selector: 0. Without
// a buffer (null, or a size of 0 or less): the size needed, length + 1. Otherwise copies as
// many whole characters as fit before a NUL and returns the bytes copied.
int CopyId3Field(const MP3_ID3_FIELDS& record, int field_id, char* buffer, int buffer_size);

}  // namespace id3
