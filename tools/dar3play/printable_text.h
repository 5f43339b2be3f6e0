// Tag and file-name text made safe for the terminal: control bytes (escape sequences in a tag
// would move the cursor or retitle the window) and, where the locale cannot show UTF-8, every
// non-ASCII character become '?'.
#pragma once

#include <string>

// True when the current LC_CTYPE shows UTF-8; call after setlocale.
bool LocaleIsUtf8();
// keep_newlines lets multi-line text through with its line ends.
std::string Printable(const std::string& utf8, bool locale_utf8, bool keep_newlines = false);
// With the current locale.
std::string Printable(const std::string& utf8);
// The longest start of `text` that fits `columns` terminal cells (wide characters take two),
// cut between characters. Uses the current locale.
std::string CutToColumns(const std::string& text, int columns);
// The cells `text` takes.
int Columns(const std::string& text);
