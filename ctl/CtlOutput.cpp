#include "ctl/CtlOutput.h"

#include "protocol/RevisionInfo.h"

#include <cstdio>

TAVIK_REVISION("CtlOutput.cpp");

namespace CtlOutput {
void print(const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
}

void note(const QString &text) {
    const QString line = QStringLiteral("tavikctl: ") + text;
    std::fputs((line.endsWith(QLatin1Char('\n')) ? line : line + QLatin1Char('\n')).toLocal8Bit().constData(),
               stderr);
}

int fail(int code, const QString &text) {
    note(text);
    return code;
}
} // namespace CtlOutput
