#pragma once

#include <QtGlobal>

// Keeps the log lines of readers that report what they skip out of the fuzzer's output.
inline void installQuietMessageHandler()
{
    static const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    Q_UNUSED(previous);
}
