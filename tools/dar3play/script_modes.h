// The non-interactive modes. Each returns the process exit status and reports errors on
// stderr as "dar3play: FILE: message".
#pragma once

#include "tools/dar3play/cli_options.h"

int RunInfo(const Options& options);
int RunDecode(const Options& options);
void ReportError(const std::string& text);
