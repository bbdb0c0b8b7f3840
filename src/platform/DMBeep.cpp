#include "DMBeep.h"

#include <QApplication>

#include <atomic>

namespace {

std::function<void()> &beepHook()
{
    static std::function<void()> hook;
    return hook;
}

std::atomic<int> beepCount{0};

} // namespace

void DMBeep()
{
    ++beepCount;
    if (const auto &hook = beepHook())
        hook();
    else
        QApplication::beep();
}

void DMBeep_setHook(std::function<void()> hook)
{
    beepHook() = std::move(hook);
}

int DMBeep_count()
{
    return beepCount;
}
