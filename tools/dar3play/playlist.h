// What dar3play plays: the command line's files, folders and M3U/M3U8/PLS lists flattened into
// one list of entries, in the order given.
#pragma once

#include <string>
#include <vector>

struct PlaylistEntry {
  std::string location;  // a path, "-", or an http(s) URL
  std::string title;     // from #EXTINF or TitleN=, empty when the list gives none
};

// True for http:// and https:// locations.
bool IsUrl(const std::string& location);
// True for names ending in .mp3 or .mp2, in any case.
bool IsMpegAudioName(const std::string& name);
// True for names ending in .m3u, .m3u8 or .pls, in any case.
bool IsPlaylistName(const std::string& name);

// "track2" before "track10": runs of digits compare by value, the rest by byte.
bool NaturalLess(const std::string& a, const std::string& b);

// The entries of an M3U/M3U8 or PLS text; relative paths are taken against base_dir.
std::vector<PlaylistEntry> ParseM3u(const std::string& text, const std::string& base_dir);
std::vector<PlaylistEntry> ParsePls(const std::string& text, const std::string& base_dir);

// Expands every input: a folder into its MP3/MP2 files (recursively, natural order), a list
// into its entries (lists inside lists too), anything else as itself. What cannot be read is
// left out and named in *problems; the rest still plays.
std::vector<PlaylistEntry> ExpandInputs(const std::vector<std::string>& inputs, std::vector<std::string>* problems);
