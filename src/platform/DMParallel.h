#pragma once

#include <functional>

// Work split into independent parts, run on the global thread pool and the calling thread
// together. The calling thread takes parts too, so the call finishes even when no pool thread
// is free, and it never waits on work that nobody runs.
class DMParallel
{
public:
    // Calls work(i) once for each i in [0, count), in no particular order and possibly at the
    // same time; returns when every call has returned.
    static void run(int count, const std::function<void(int)> &work);
    // How many parts are worth making for work that scales with the cores: the pool's threads
    // and the calling thread.
    static int parallelism();
};
