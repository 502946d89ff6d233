#include "EventLoopWait.h"

#include <QEventLoop>
#include <QObject>
#include <QTimer>

bool EventLoopWait::until(const std::function<bool()> &pred, int timeoutMs) {
    if (pred())
        return true;
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (pred())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start(1);
    loop.exec();
    return pred();
}

void EventLoopWait::runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}
