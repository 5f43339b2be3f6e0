#pragma once
// The optional error log: a text trace file of printf-style messages.
#include <cstdio>

int ErrorLogOpen(const char* name, FILE* stream);
int ErrorLogWrite(const char* format, ...) __attribute__((format(printf, 1, 2)));
int ErrorLogClose();
