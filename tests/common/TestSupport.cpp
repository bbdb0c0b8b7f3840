#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QThread>

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

void pumpEvents(int milliseconds)
{
    const qint64 start = elapsedMilliseconds();
    while (elapsedMilliseconds() - start < milliseconds)
        pumpEventsOnce();
}

} // namespace halcyra::test
