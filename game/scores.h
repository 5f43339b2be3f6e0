#pragma once
// The high-score table: the ten best runs (score, time, date) in
// $XDG_DATA_HOME/jed-grimstorm/scores (~/.local/share/... without it), a text file with one run
// a line, best first: "SCORE SECONDS YYYY-MM-DD". Written whole or not at all; a file that does
// not read as such a table is reported, kept aside under another name and a new table begins.
#include <string>
#include <vector>

constexpr size_t kScoresKept = 10;

struct ScoreEntry {
  int score = 0;
  int seconds = 0;
  std::string date;  // YYYY-MM-DD
  bool operator==(const ScoreEntry&) const = default;
};

std::string ScoresPath();

// The text of a table and back. ParseScores fails (with the line's number and what is wrong in
// *error) on anything but comments, blank lines and well-formed runs, or more than kScoresKept.
std::string DescribeScores(const std::vector<ScoreEntry>& table);
bool ParseScores(const std::string& text, std::vector<ScoreEntry>* table, std::string* error);

// Puts the run in its place (higher score first; an equal score keeps the earlier run first);
// the rank from 0, or -1 when it is not among the best kScoresKept.
int InsertScore(std::vector<ScoreEntry>* table, const ScoreEntry& entry);

// The table from path, the run added and the file written. *table is the table to show, with the
// run in it even when the file could not be written; *rank as InsertScore. Every problem (a
// damaged file set aside, a write that failed with the system's reason) is added to *problems.
void RecordScore(const std::string& path, const ScoreEntry& entry, std::vector<ScoreEntry>* table, int* rank,
                 std::vector<std::string>* problems);
// The table as the file holds it now (damaged or unreadable: empty, with the problem).
std::vector<ScoreEntry> ReadScores(const std::string& path, std::vector<std::string>* problems);
// Today as YYYY-MM-DD in local time.
std::string TodaysDate();
