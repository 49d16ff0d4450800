#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

namespace testsupport {

// Processes events in short slices until `done` holds or the time is up.
// (QTest::qWaitFor can spend its whole budget inside one event dispatch
// while events keep arriving, as they do from a running capture.)
template <class Predicate> bool waitUntil(Predicate done, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

} // namespace testsupport
