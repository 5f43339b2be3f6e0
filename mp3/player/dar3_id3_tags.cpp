// ID3 tags of the open source, read by the tag reader of mp3/id3 when it is in the build.
#include <cstring>

#include "mp3/player/dar3_player.h"

#if DAR3_WITH_ID3

int DAr3::LoadID3(int tag_version, MP3_ID3_FIELDS* fields) {
  platform::MutexLock hold(lock_);
  return LoadID3Locked(tag_version, fields);
}

int DAr3::LoadID3Locked(int tag_version, MP3_ID3_FIELDS* fields) {
  if (!IsOpen()) {
    SetError(id3::kStreamNotOpenMessage);
    return 0;
  }
  const char* message = nullptr;
  const int result =
      id3_.Load(tag_version, {format_.source_start, format_.source_size}, format_.has_id3v1 != 0, fields, &message);
  if (message) SetError(message);
  return result;
}

// The texts belong to the reader: they are copied in the same hold that loaded them, before
// another thread's LoadID3 or Close can replace them.
int DAr3::GetID3Field(int tag_version, int field_id, char* buffer, int buffer_size) {
  platform::MutexLock hold(lock_);
  MP3_ID3_FIELDS fields{};
  if (!LoadID3Locked(tag_version, &fields)) return 0;
  return id3::CopyId3Field(fields, field_id, buffer, buffer_size);
}

#else

int DAr3::LoadID3(int, MP3_ID3_FIELDS*) { return NotAvailable("LoadID3"); }
int DAr3::GetID3Field(int, int, char*, int) { return NotAvailable("LoadID3"); }

#endif
