#pragma once

#include <QString>

namespace halcyra::test {

// Folder of the files other programs wrote, beside the checkout (../shared/testdata).
QString sharedTestDataPath(const QString &relative = QString());

// A folder in which no file can be made: the given folder made read-only, or, when the
// permissions do not stop this process (root), a folder of the kernel's read-only file system.
QString unwritableFolder(const QString &folder);

// Runs the event loop for the given time, so timers and deferred calls can fire.
void pumpEvents(int milliseconds);

// Runs the event loop until the predicate holds or the time is up; returns the predicate.
template <typename Predicate>
bool waitFor(Predicate predicate, int timeoutMilliseconds = 2000);

void pumpEventsOnce();
qint64 elapsedMilliseconds();

template <typename Predicate>
bool waitFor(Predicate predicate, int timeoutMilliseconds)
{
    const qint64 start = elapsedMilliseconds();
    while (!predicate()) {
        if (elapsedMilliseconds() - start > timeoutMilliseconds)
            return predicate();
        pumpEventsOnce();
    }
    return true;
}

} // namespace halcyra::test
