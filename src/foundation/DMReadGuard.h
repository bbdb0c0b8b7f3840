#pragma once

#include <QString>

#include <functional>

// The edge of a command that reads a file from elsewhere. A reader may throw: a file that makes
// it run out of memory, content the model refuses. The command catches it here, tells the user
// in plain words, and leaves every document as it was, since it reads all it needs before it
// changes one.
class DMReadGuard
{
public:
    DMReadGuard() = delete;

    // Runs a reading step that answers whether it could read, with *error saying why not. When
    // the step throws, the exception is logged and false is returned, with *error set to
    // reasonForCurrentException().
    static bool run(const std::function<bool()> &read, QString *error);

    // Inside a catch block: logs the exception being handled ("An exception occured: ...") and
    // returns what the user is told of it ("There is not enough memory to read the file.").
    static QString reasonForCurrentException();
};
