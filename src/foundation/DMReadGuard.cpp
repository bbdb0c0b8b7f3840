#include "DMReadGuard.h"

#include "DMLocalizedString.h"

#include <QDebug>

#include <exception>
#include <new>

QString DMReadGuard::reasonForCurrentException()
{
    try {
        throw;
    } catch (const std::bad_alloc &) {
        qWarning("An exception occured: std::bad_alloc");
        return DMLocalizedString("There is not enough memory to read the file.");
    } catch (const std::exception &exception) {
        qWarning("An exception occured: %s", exception.what());
    } catch (...) {
        qWarning("An exception occured: unknown");
    }
    return DMLocalizedString("The file holds content that Halcyra cannot use.");
}

bool DMReadGuard::run(const std::function<bool()> &read, QString *error)
{
    try {
        return read();
    } catch (...) {
        const QString reason = reasonForCurrentException();
        if (error)
            *error = reason;
        return false;
    }
}
