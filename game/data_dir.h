#pragma once
// Where the game's pictures, sounds and music are. The game opens every file by bare name, so
// it finds the folder holding them at start-up and makes it the working directory.
#include <string>
#include <vector>

// The folders searched, in order: $JED_DATA_DIR (when set), the working directory, the build
// tree's assets/ near the executable (from /proc/self/exe), share/jed-grimstorm beside the
// executable's prefix (a relocated install) and the installed data folder.
std::vector<std::string> DataFolderCandidates();
// True when the folder holds the files the game opens first.
bool HoldsGameData(const std::string& folder);

// Finds the data and changes into it. JED_DATA_DIR, when set, must hold it. Without data: reports which folders were
// searched and how to make the data (ReportDataProblem) and returns false. Also arranges that a data file failing to
// load later is reported the same way (DataFileFailed).
bool EnterDataFolder();

// "PROBLEM PLACES...; how to get the data" as one line on stderr, and the same text in a
// message box when a display is there.
void ReportDataProblem(const std::string& problem, const std::vector<std::string>& places);
// A data file that cannot be loaded: reported once, and the game ends through its normal
// tear-downs with exit status 1 (see DataFailed). Does nothing until EnterDataFolder ran, so
// tests and tools keep the plain behaviour of a missing file.
void DataFileFailed(const char* name);
// For files whose loader cannot tell a missing file from other trouble (sounds, music): calls
// DataFileFailed when the file cannot be read.
void CheckDataFile(const char* name);
bool DataFailed();
// The program's exit status: 1 after a data failure, otherwise the game's own.
inline int DataFailedExitCode(int game_exit_code) { return DataFailed() ? 1 : game_exit_code; }
