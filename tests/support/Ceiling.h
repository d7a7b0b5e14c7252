#pragma once

namespace tw::test {

// How long a test waits for a state it expects (a window shown, a page
// loaded, a check done, a signal) before it fails, in ms. A passing test
// never waits this long: the ceiling is many times what the sanitizer build
// needs on a busy machine, so that no test fails for a slow machine. A
// failing QTRY_* waits three times its ceiling before it reports, which stays
// inside CTest's limit for one test (tests/CMakeLists.txt).
inline constexpr int kCeiling = 60000;

// A watchdog's alarm for one test function (or one row of it) that would
// hang for good where the code under test blocks, in seconds.
inline constexpr unsigned kWatchdogSeconds = 2 * kCeiling / 1000;

} // namespace tw::test
