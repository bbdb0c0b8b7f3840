#include "TestSupport.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

namespace halcyra::test {

QString testDataPath(const QString &relative)
{
    QDir dir(QStringLiteral(HALCYRA_SOURCE_DIR));
    return QDir::cleanPath(dir.absoluteFilePath(QStringLiteral("tests/data/") + relative));
}

QString unwritableFolder(const QString &folder)
{
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    QFile probe(QDir(folder).filePath(QStringLiteral(".probe")));
    if (!probe.open(QIODevice::WriteOnly))
        return folder;
    probe.remove();
    return QStringLiteral("/proc/self");
}

static QElapsedTimer &clock()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer;
}

qint64 elapsedMilliseconds()
{
    return clock().elapsed();
}

void pumpEventsOnce()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::sendPostedEvents();
    QThread::msleep(1);
}

void finishEventLoopTurn()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void runUntilIdle()
{
    // Bounded, so that work that keeps making work fails the test instead of hanging it.
    for (int round = 0; round < 10000; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!QCoreApplication::eventDispatcher()->processEvents(QEventLoop::AllEvents))
            return;
    }
    ADD_FAILURE() << "runUntilIdle: events kept coming for 10000 rounds";
}

void skipTime(qint64 milliseconds)
{
    const bool manual = DMDeferredWorkClock::isManual();
    DMDeferredWorkClock::setManual(true);
    DMDeferredWorkClock::advance(milliseconds);
    DMDeferredWorkClock::setManual(manual);
}

} // namespace halcyra::test
