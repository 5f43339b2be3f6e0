/* The tag record and constants of the public C API (LoadID3, Mp3_GetID3Field).
   dar3/dar3.h defines the same names; the guard lets both headers meet in one file. */
#ifndef DAR3_ID3_FIELDS_DEFINED
#define DAR3_ID3_FIELDS_DEFINED

/* Filled by LoadID3: seven NUL-terminated UTF-8 texts owned by the player, valid until the
   next LoadID3 or Close; all null when the tag could not be read. */
typedef struct MP3_ID3_FIELDS {
  char* title;
  char* artist;
  char* album;
  char* year;
  char* comment;
  char* track;
  char* genre;
} MP3_ID3_FIELDS;

#endif /* DAR3_ID3_FIELDS_DEFINED */

/* Macros, so an identical definition in dar3/dar3.h is no conflict. */
#define ID3_TAG_V1 1
#define ID3_TAG_V2 2

#define ID3_SELECT_TITLE 1
#define ID3_SELECT_ARTIST 2
#define ID3_SELECT_ALBUM 4
#define ID3_SELECT_GENRE 8
#define ID3_SELECT_COMMENT 16
#define ID3_SELECT_TRACK 32
#define ID3_SELECT_YEAR 64
