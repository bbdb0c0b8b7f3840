#pragma once

#include <functional>

// Work split into independent parts, run on threads of its own while the calling thread waits:
// as many threads as the global thread pool may run at once. Part i always runs on the same
// thread, so that the later work on a part, run with the same count, finds the memory its
// earlier work freed: each thread allocates from memory of its own, and the calling thread's
// memory is left as it was.
class DMParallel
{
public:
    // Calls work(i) once for each i in [0, count), possibly at the same time; returns when
    // every call has returned. Called from one thread at a time; a call from within work runs
    // its parts one after the other on that thread.
    static void run(int count, const std::function<void(int)> &work);
    // How many threads run parts at once.
    static int parallelism();
};
