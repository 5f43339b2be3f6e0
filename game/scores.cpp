#include "game/scores.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sstream>

#include "game/file_io.h"

namespace {

bool IsDate(const std::string& text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (i != 4 && i != 7 && (text[i] < '0' || text[i] > '9')) return false;
  return true;
}

// A damaged table is moved aside under a free name, never overwritten: the player may want it.
std::string SetAside(const std::string& path) {
  for (int n = 1; n < 100; ++n) {
    const std::string aside = path + ".damaged" + (n == 1 ? "" : "-" + std::to_string(n));
    struct stat info {};
    if (stat(aside.c_str(), &info) == 0) continue;
    return std::rename(path.c_str(), aside.c_str()) == 0 ? aside : "";
  }
  return "";
}

}  // namespace

std::string ScoresPath() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data == '/') return std::string(data) + "/jed-grimstorm/scores";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.local/share/jed-grimstorm/scores";
}

std::string DescribeScores(const std::vector<ScoreEntry>& table) {
  std::string text = "# Jed Grimstorm: the ten best runs, best first: score, seconds, date\n";
  for (const ScoreEntry& entry : table)
    text += std::to_string(entry.score) + " " + std::to_string(entry.seconds) + " " + entry.date + "\n";
  return text;
}

bool ParseScores(const std::string& text, std::vector<ScoreEntry>* table, std::string* error) {
  std::vector<ScoreEntry> read;
  std::istringstream lines(text);
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    ScoreEntry entry;
    std::string rest;
    if (!(words >> entry.score >> entry.seconds >> entry.date) || (words >> rest) || entry.score < 0 ||
        entry.seconds < 0 || !IsDate(entry.date)) {
      *error = "line " + std::to_string(number) + " is not \"score seconds date\"";
      return false;
    }
    if (read.size() == kScoresKept) {
      *error = "more than " + std::to_string(kScoresKept) + " runs";
      return false;
    }
    read.push_back(entry);
  }
  *table = std::move(read);
  return true;
}

int InsertScore(std::vector<ScoreEntry>* table, const ScoreEntry& entry) {
  size_t place = 0;
  while (place < table->size() && (*table)[place].score >= entry.score) ++place;
  if (place >= kScoresKept) return -1;
  table->insert(table->begin() + static_cast<std::ptrdiff_t>(place), entry);
  if (table->size() > kScoresKept) table->resize(kScoresKept);
  return static_cast<int>(place);
}

std::vector<ScoreEntry> ReadScores(const std::string& path, std::vector<std::string>* problems) {
  std::string text, error;
  std::vector<ScoreEntry> table;
  const FileRead read = ReadWholeFile(path, &text, &error);
  if (read == FileRead::Failed) {
    problems->push_back("the scores cannot be read: " + error);
  } else if (read == FileRead::Read && !ParseScores(text, &table, &error)) {
    const std::string aside = SetAside(path);
    problems->push_back("the scores file " + path + " is damaged (" + error + ")" +
                        (aside.empty() ? "" : "; kept as " + aside + ", a new table begins"));
    table.clear();
  }
  return table;
}

void RecordScore(const std::string& path, const ScoreEntry& entry, std::vector<ScoreEntry>* table, int* rank,
                 std::vector<std::string>* problems) {
  std::string text, error;
  // An unreadable file is left as it is: writing over it would lose runs we could not see.
  const bool unreadable = ReadWholeFile(path, &text, &error) == FileRead::Failed;
  *table = ReadScores(path, problems);
  *rank = InsertScore(table, entry);
  if (*rank < 0 || unreadable) return;
  if (!WriteFileAtomically(path, DescribeScores(*table), &error))
    problems->push_back("the score was not saved: " + error);
}

std::string TodaysDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char date[16];
  std::strftime(date, sizeof date, "%Y-%m-%d", &local);
  return date;
}
