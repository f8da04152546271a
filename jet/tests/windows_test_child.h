#pragma once
// Shared by jet_windows_test_child and the tests that start it.

namespace jet::testing {

// The child's file name, found beside the test program.
inline constexpr wchar_t kWindowsTestChild[] = L"jet_windows_test_child.exe";

// Its exit status when it terminated itself at the requested step of a replacement.
inline constexpr unsigned kTerminatedExitCode = 99;

}  // namespace jet::testing
