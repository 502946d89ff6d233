#include "protocol/RevisionInfo.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<const char *> &registry() {
    static std::vector<const char *> ids;
    return ids;
}
} // namespace

TAVIK_REVISION("RevisionInfo.cpp");

RevisionInfo::RevisionInfo(const char *id) {
    registry().push_back(id);
}

QStringList RevisionInfo::all() {
    QStringList ids;
    for (const char *id : registry())
        ids << QString::fromLatin1(id);
    std::sort(ids.begin(), ids.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    ids.removeDuplicates();
    return ids;
}
