#include "protocol/PortWatcher.h"

#include "protocol/RevisionInfo.h"

#include <QTimer>

TAVIK_REVISION("PortWatcher.cpp");

PortWatcher::PortWatcher(std::function<Lists()> lister, QObject *parent)
    : QObject(parent), lister(std::move(lister)), timer(new QTimer(this)) {
    timer->setInterval(IntervalMs);
    connect(timer, &QTimer::timeout, this, &PortWatcher::check);
}

void PortWatcher::start(const Lists &lists) {
    last = lists;
    timer->start();
}

void PortWatcher::stop() {
    timer->stop();
}

bool PortWatcher::isActive() const {
    return timer->isActive();
}

void PortWatcher::check() {
    Lists now = lister();
    if (now.in == last.in && now.out == last.out)
        return;
    last = now;
    emit changed(now.in, now.out);
}
