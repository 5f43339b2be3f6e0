#include "tools/dar3play/playlist.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Lists that name themselves, directly or through others, stop here.
constexpr int kMaxListDepth = 8;
// A list bigger than this is not a list someone wrote.
constexpr std::uintmax_t kMaxListBytes = 16 * 1024 * 1024;

std::string Lower(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool EndsWith(const std::string& name, const char* suffix) {
  const std::string lower = Lower(name);
  const std::string end(suffix);
  return lower.size() >= end.size() && lower.compare(lower.size() - end.size(), end.size(), end) == 0;
}

std::string Trim(const std::string& text) {
  size_t begin = 0, end = text.size();
  // A byte order mark at the start of an M3U8 is not part of the first line.
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) begin = 3;
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

std::string Resolve(const std::string& location, const std::string& base_dir) {
  if (IsUrl(location) || location == "-") return location;
  std::string path = location;
  if (path.compare(0, 7, "file://") == 0) path.erase(0, 7);
  // Lists written on Windows use backslashes.
  if (path.find('/') == std::string::npos) std::replace(path.begin(), path.end(), '\\', '/');
  const fs::path p(path);
  if (p.is_absolute() || base_dir.empty()) return p.lexically_normal().string();
  return (fs::path(base_dir) / p).lexically_normal().string();
}

bool ReadSmallFile(const std::string& path, std::string* text, std::string* why) {
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec) {
    *why = path + ": can't read the list (" + ec.message() + ")";
    return false;
  }
  if (size > kMaxListBytes) {
    *why = path + ": too big for a list";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  if (!in && !in.eof()) {
    *why = path + ": can't read the list";
    return false;
  }
  *text = all.str();
  return true;
}

void AddFolder(const std::string& dir, std::vector<PlaylistEntry>* out, std::vector<std::string>* problems) {
  std::vector<std::string> found;
  std::error_code ec;
  fs::recursive_directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    if (it->is_regular_file(type_ec) && IsMpegAudioName(it->path().filename().string()))
      found.push_back(it->path().string());
  }
  if (ec) problems->push_back(dir + ": can't read the folder (" + ec.message() + ")");
  std::sort(found.begin(), found.end(), NaturalLess);
  if (found.empty() && !ec) problems->push_back(dir + ": no MP3 or MP2 files in this folder");
  for (std::string& path : found) out->push_back({std::move(path), {}});
}

void AddInput(const std::string& input, int depth, std::vector<PlaylistEntry>* out, std::vector<std::string>* problems,
              const std::string& title = {}) {
  if (IsUrl(input) || input == "-") {
    out->push_back({input, title});
    return;
  }
  std::error_code ec;
  if (fs::is_directory(input, ec)) {
    AddFolder(input, out, problems);
    return;
  }
  if (!IsPlaylistName(input)) {
    // A missing or broken file is reported when it is reached, as every other broken entry.
    out->push_back({input, title});
    return;
  }
  if (depth >= kMaxListDepth) {
    problems->push_back(input + ": lists nested too deep (a list naming itself?)");
    return;
  }
  std::string text, why;
  if (!ReadSmallFile(input, &text, &why)) {
    problems->push_back(why);
    return;
  }
  const std::string base = fs::path(input).parent_path().string();
  const std::vector<PlaylistEntry> entries = EndsWith(input, ".pls") ? ParsePls(text, base) : ParseM3u(text, base);
  if (entries.empty()) problems->push_back(input + ": the list names nothing to play");
  for (const PlaylistEntry& entry : entries) AddInput(entry.location, depth + 1, out, problems, entry.title);
}

}  // namespace

bool IsUrl(const std::string& location) {
  const std::string lower = Lower(location.substr(0, 8));
  return lower.compare(0, 7, "http://") == 0 || lower.compare(0, 8, "https://") == 0;
}

bool IsMpegAudioName(const std::string& name) { return EndsWith(name, ".mp3") || EndsWith(name, ".mp2"); }

bool IsPlaylistName(const std::string& name) {
  return EndsWith(name, ".m3u") || EndsWith(name, ".m3u8") || EndsWith(name, ".pls");
}

bool NaturalLess(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  while (i < a.size() && j < b.size()) {
    if (digit(a[i]) && digit(b[j])) {
      size_t ei = i, ej = j;
      while (ei < a.size() && digit(a[ei])) ++ei;
      while (ej < b.size() && digit(b[ej])) ++ej;
      // Leading zeros do not change the value; compare the significant digits by length first.
      size_t si = i, sj = j;
      while (si + 1 < ei && a[si] == '0') ++si;
      while (sj + 1 < ej && b[sj] == '0') ++sj;
      if (ei - si != ej - sj) return ei - si < ej - sj;
      const int order = a.compare(si, ei - si, b, sj, ej - sj);
      if (order != 0) return order < 0;
      if (ei - i != ej - j) return ei - i < ej - j;  // "01" after "1", so the order is total
      i = ei;
      j = ej;
      continue;
    }
    if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

std::vector<PlaylistEntry> ParseM3u(const std::string& text, const std::string& base_dir) {
  std::vector<PlaylistEntry> entries;
  std::istringstream lines(text);
  std::string line, title;
  while (std::getline(lines, line)) {
    line = Trim(line);
    if (line.empty()) continue;
    if (line[0] == '#') {
      // #EXTINF:seconds,Artist - Title names the entry on the next line.
      if (line.compare(0, 8, "#EXTINF:") == 0) {
        const size_t comma = line.find(',');
        title = comma == std::string::npos ? std::string() : Trim(line.substr(comma + 1));
      }
      continue;
    }
    entries.push_back({Resolve(line, base_dir), title});
    title.clear();
  }
  return entries;
}

std::vector<PlaylistEntry> ParsePls(const std::string& text, const std::string& base_dir) {
  // FileN= and TitleN= may come in any order; entries play in the order of N.
  struct Numbered {
    long number;
    PlaylistEntry entry;
  };
  std::vector<Numbered> files;
  std::vector<std::pair<long, std::string>> titles;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    line = Trim(line);
    const size_t equals = line.find('=');
    if (line.empty() || line[0] == ';' || line[0] == '[' || equals == std::string::npos) continue;
    const std::string key = Lower(line.substr(0, equals));
    const std::string value = Trim(line.substr(equals + 1));
    const bool is_file = key.compare(0, 4, "file") == 0, is_title = key.compare(0, 5, "title") == 0;
    if (!is_file && !is_title) continue;
    const std::string digits = key.substr(is_file ? 4 : 5);
    char* end = nullptr;
    const long number = std::strtol(digits.c_str(), &end, 10);
    if (digits.empty() || *end || value.empty()) continue;
    if (is_file)
      files.push_back({number, {Resolve(value, base_dir), {}}});
    else
      titles.emplace_back(number, value);
  }
  std::stable_sort(files.begin(), files.end(),
                   [](const Numbered& a, const Numbered& b) { return a.number < b.number; });
  std::vector<PlaylistEntry> entries;
  for (Numbered& file : files) {
    for (const auto& title : titles)
      if (title.first == file.number) file.entry.title = title.second;
    entries.push_back(std::move(file.entry));
  }
  return entries;
}

std::vector<PlaylistEntry> ExpandInputs(const std::vector<std::string>& inputs, std::vector<std::string>* problems) {
  std::vector<PlaylistEntry> entries;
  for (const std::string& input : inputs) AddInput(input, 0, &entries, problems);
  return entries;
}
