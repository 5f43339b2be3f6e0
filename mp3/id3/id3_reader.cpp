#include <climits>
#include <cstring>

#include "mp3/id3/id3.h"
#include "mp3/id3/tag_readers.h"

namespace id3 {
namespace {

void PointAt(Id3Texts& texts, MP3_ID3_FIELDS& record) {
  record.title = texts.title.data();
  record.artist = texts.artist.data();
  record.album = texts.album.data();
  record.year = texts.year.data();
  record.comment = texts.comment.data();
  record.track = texts.track.data();
  record.genre = texts.genre.data();
}

const char* Selected(const MP3_ID3_FIELDS& record, int field_id) {
  switch (field_id) {
    case ID3_SELECT_TITLE: return record.title;
    case ID3_SELECT_ARTIST: return record.artist;
    case ID3_SELECT_ALBUM: return record.album;
    case ID3_SELECT_GENRE: return record.genre;
    case ID3_SELECT_COMMENT: return record.comment;
    case ID3_SELECT_TRACK: return record.track;
    case ID3_SELECT_YEAR: return record.year;
    default: return nullptr;
  }
}

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

int Id3Reader::Load(int tag_version, std::span<const uint8_t> source, bool has_id3v1, MP3_ID3_FIELDS* record,
                    const char** message) {
  if (message) *message = nullptr;
  if (!record) {
    if (message) *message = kNullRecordMessage;
    return 0;
  }
  bool read = false;
  if (tag_version == ID3_TAG_V1) {
    read = ReadId3v1(source, has_id3v1, texts_);
    if (!read && message) *message = kNoId3v1Message;
  } else if (tag_version == ID3_TAG_V2) {
    read = ReadId3v2(source, texts_);
    if (!read && message) *message = kNoId3v2Message;
  } else if (message) {
    *message = kBadVersionMessage;
  }
  if (!read) {
    *record = MP3_ID3_FIELDS{};
    return 0;
  }
  PointAt(texts_, *record);
  return 1;
}

void Id3Reader::Clear() { texts_ = Id3Texts{}; }

int CopyId3Field(const MP3_ID3_FIELDS& record, int field_id, char* buffer, int buffer_size) {
  const char* text = Selected(record, field_id);
  if (!text) return 0;
  const size_t length = std::strlen(text);
  if (!buffer || buffer_size <= 0) return length < INT_MAX ? static_cast<int>(length) + 1 : INT_MAX;
  size_t count = std::min(length, static_cast<size_t>(buffer_size) - 1);
  // Never end the copy inside a multi-byte character.
  if (count < length) {
    while (count > 0 && IsUtf8Continuation(text[count])) --count;
  }
  std::memcpy(buffer, text, count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}

}  // namespace id3
