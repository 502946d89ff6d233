// A scripted TavikRemote session for the leak check: connect, three devices admitted, dropped when
// they fall silent, admitted again, disconnect, quit. Exits non-zero when a step does not happen;
// under LeakSanitizer any leak at exit fails it too.
#include "RemoteRig.h"

#include "app/MyApplication.h"

#include <QCoreApplication>
#include <QTest>
#include <cstdio>

namespace {
const qint32 Serials[] = {12345, 1234, 777};

bool all(bool present) {
    for (qint32 serial : Serials)
        if ((RemoteRig::app()->getConfiguration(serial) != nullptr) != present)
            return false;
    return true;
}

bool step(bool ok, const char *what) {
    std::printf("%s: %s\n", what, ok ? "ok" : "FAILED");
    std::fflush(stdout);
    return ok;
}

bool session() {
    auto sim = RemoteRig::startSim(
        {"--device", "neo:12345:Studio", "--device", "lux:1234:Stage", "--device", "neo:777:Booth"});
    if (!step(sim != nullptr, "simulator started"))
        return false;
    bool ok = step(RemoteRig::connectToSim(), "connected");
    ok = ok && step(QTest::qWaitFor([] { return all(true); }, 8000), "three devices admitted");
    if (ok)
        sim->command(QStringLiteral("silent all"));
    ok = ok && step(QTest::qWaitFor([] { return all(false); }, 8000), "three devices dropped");
    if (ok)
        sim->command(QStringLiteral("resume all"));
    ok = ok && step(QTest::qWaitFor([] { return all(true); }, 8000), "three devices admitted again");
    RemoteRig::disconnect();
    ok = ok &&
         step(all(false) && RemoteRig::app()->getDevices().size() == 1, "disconnected, placeholder only");
    sim->stop();
    return ok;
}
} // namespace

int main(int argc, char **argv) {
    if (!RemoteRig::setUp(argc, argv))
        return 1;
    const bool ok = session();
    RemoteRig::tearDown();
    return ok ? 0 : 1;
}
