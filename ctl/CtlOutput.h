// How tavikctl writes: results to standard output, problems to standard error after "tavikctl: ".
#pragma once

#include <QString>

namespace CtlOutput {
void print(const QString &text);
// Writes the problem (with a line end) and returns code, the exit code it leads to.
int fail(int code, const QString &text);
// A note that is no failure ("warning: ...", "not compared: ...").
void note(const QString &text);
} // namespace CtlOutput
