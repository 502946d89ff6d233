// Collects the revision identification string of every source module for the start-up version report.
#pragma once

#include "Revision.h"

#include <QStringList>

class RevisionInfo {
public:
    // Registers one "$Id: ... $" string; used through TAVIK_REVISION at namespace scope.
    explicit RevisionInfo(const char *id);

    // Every registered string, sorted alphabetically (that is, by source file name).
    static QStringList all();
};

#define TAVIK_REVISION_CONCAT2(a, b) a##b
#define TAVIK_REVISION_CONCAT(a, b) TAVIK_REVISION_CONCAT2(a, b)
#define TAVIK_REVISION(file)                                                                                 \
    static const RevisionInfo TAVIK_REVISION_CONCAT(revisionInfo_, __LINE__)(                                \
        "$Id: " file " " TAVIK_REVISION_NUMBER " " TAVIK_REVISION_DATE " " TAVIK_REVISION_AUTHOR " $")
