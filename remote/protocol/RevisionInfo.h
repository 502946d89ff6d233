// Collects the revision identification string of every source module for the start-up version report.
#pragma once

#include <QStringList>

class RevisionInfo {
public:
    // Registers one "$Id: ... $" string; used through TAVIK_REVISION at namespace scope.
    explicit RevisionInfo(const char *id);

    // Every registered string, sorted alphabetically regardless of case (that is, by source file name).
    static QStringList all();
};

// The build gives every module the last commit of its own file; a file not committed shows 0.
#ifndef TAVIK_FILE_REVISION
#define TAVIK_FILE_REVISION "0"
#define TAVIK_FILE_REVISION_DATE "1970-01-01 00:00:00"
#define TAVIK_FILE_REVISION_AUTHOR "unknown"
#endif

#define TAVIK_REVISION_CONCAT2(a, b) a##b
#define TAVIK_REVISION_CONCAT(a, b) TAVIK_REVISION_CONCAT2(a, b)
#define TAVIK_REVISION(file)                                                                                 \
    static const RevisionInfo TAVIK_REVISION_CONCAT(revisionInfo_, __LINE__)(                                \
        "$Id: " file " " TAVIK_FILE_REVISION " " TAVIK_FILE_REVISION_DATE " " TAVIK_FILE_REVISION_AUTHOR     \
        " $")
