// The Share commands' side of the manager: upload, then open the link or show what failed.
#include "FarseeManager.h"

#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMUserDefaults.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

// The texts of the sharing error, by their keys in the "FarseeErrorMessage" table.
QString farseeErrorMessage(const char *key)
{
    if (qstrcmp(key, "Farsee error info msg") == 0)
        return DMLocalizedString("The file could not be shared.");
    // The account is read from the settings file: the advice names the file and its keys.
    if (qstrcmp(key, "Farsee error retry msg") == 0)
        return DMLocalizedString("Check the connection and the sharing account, %1 and %2 in the settings file %3, "
                                 "then share the file again.")
            .arg(kFarseeAccountEmailKey, kFarseeAccountPasswordKey, DMUserDefaults::standardUserDefaults().storageFileName());
    return QString::fromUtf8(key);
}

const QString kFilePathKey = QStringLiteral("NSFilePath");

} // namespace

NBError FarseeManager::shareError(const QString &fileName, const NBError &cause)
{
    NBError error;
    error.domain = QStringLiteral("Orvesta error");
    error.code = -1;
    error.localizedDescription = farseeErrorMessage("Farsee error info msg");
    error.recoverySuggestion = farseeErrorMessage("Farsee error retry msg");
    error.userInfo.insert(kFilePathKey, fileName);
    // What went wrong is worth telling beside the advice: a missing account, a full quota.
    if (!cause.localizedDescription.isEmpty())
        error.recoverySuggestion = cause.localizedDescription + QStringLiteral("\n\n") + error.recoverySuggestion;
    return error;
}

void FarseeManager::shareData(const QByteArray &data, const QString &fileName, QWidget *window)
{
    QPointer<QWidget> sheetWindow(window);
    sendDataWithNameWithEndBlock(data, fileName, [fileName, sheetWindow](bool success, const QUrl &url,
                                                                          const NBError &cause) {
        if (success) {
            if (url.isValid() && !url.isRelative())
                QDesktopServices::openUrl(url);
            return;
        }
        const NBError error = shareError(fileName, cause);
        // From the event loop: the manager and the engine are done with the upload by then.
        QTimer::singleShot(0, qApp, [error, sheetWindow] {
            DMModalUI::instance().presentError(error.localizedDescription, error.recoverySuggestion, sheetWindow,
                                               DMLocalizedString("Share"));
        });
    });
}
