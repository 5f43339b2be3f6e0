// The non-interactive modes. Each returns the process exit status and reports errors on
// stderr as "dar3play: FILE: message".
#pragma once

#include <string>
#include <vector>

#include "tools/dar3play/cli_options.h"
#include "tools/dar3play/playlist.h"

int RunInfo(const Options& options, const std::vector<PlaylistEntry>& entries);
// Decodes every entry into one WAV, back to back.
int RunDecode(const Options& options, const std::vector<PlaylistEntry>& entries);
void ReportError(const std::string& text);
