// The program the suites' precompiled header is built with (see tests/support/CMakeLists.txt):
// it is compiled like a suite, so every suite can reuse its header. It holds no test.
#include <gtest/gtest.h>
