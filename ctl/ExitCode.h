// What tavikctl returns to the shell.
#pragma once

namespace ExitCode {
constexpr int Done = 0;
constexpr int NotFound = 1; // a device that is not there (and, for diff, "different")
constexpr int Usage = 2;
constexpr int MidiError = 3;
constexpr int NoAnswer = 4;
constexpr int BadFile = 5;
} // namespace ExitCode
