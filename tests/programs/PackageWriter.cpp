// A child process for the package tests: saves a project package as the application does, and
// can stop at one step of the save so that the test kills it there.
//
//   package_writer PACKAGE TITLE [--attach FILE] [--stop-at STEP] [--no-exchange] [--filler BYTES]
//
// An existing PACKAGE is read and saved again under the new title with its attached documents
// carried over; FILE is attached as a new document; --filler adds that many bytes to the
// project. At --stop-at the program prints "stopped STEP" and waits to be killed. Exit status:
// 0 saved, 1 failed (the reason on standard error), 2 bad arguments.
#include "DMProjectPackage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

#include <unistd.h>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    if (arguments.size() < 2)
        return 2;
    const QString package = QFileInfo(arguments.takeFirst()).absoluteFilePath();
    const QString title = arguments.takeFirst();
    DMProjectPackage::WriteRequest request;
    int stopAt = -1;
    qsizetype filler = 0;
    while (!arguments.isEmpty()) {
        const QString option = arguments.takeFirst();
        if (option == QLatin1String("--no-exchange")) {
            DMProjectPackage::setAtomicExchangeForTesting(false);
            continue;
        }
        if (arguments.isEmpty())
            return 2;
        const QString value = arguments.takeFirst();
        if (option == QLatin1String("--attach"))
            request.newDocuments.append({QFileInfo(value).absoluteFilePath(), QFileInfo(value).fileName()});
        else if (option == QLatin1String("--stop-at"))
            stopAt = value.toInt();
        else if (option == QLatin1String("--filler"))
            filler = value.toLongLong();
        else
            return 2;
    }

    QVariantMap dictionary{{QStringLiteral("class"), QStringLiteral("DMProject")},
                           {QStringLiteral("formatVersion"), 1}};
    QString error;
    if (QFileInfo::exists(package)) {
        const auto contents = DMProjectPackage::read(package, {}, &error);
        if (!contents) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        dictionary = contents->project.value().toMap();
        request.originalPackage = package;
        request.keptDocuments = QDir(DMProjectPackage::documentsFolderPath(package)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    dictionary.insert(QStringLiteral("title"), title);
    if (filler > 0)
        dictionary.insert(QStringLiteral("filler"), QString(filler, QLatin1Char('x')));
    request.projectDictionary = [&dictionary](const QStringList &) { return dictionary; };
    request.metadata.insert(QStringLiteral("title"), title);

    DMProjectPackage::setStepHookForTesting([stopAt](DMProjectPackage::WriteStep step) {
        if (step != stopAt)
            return;
        std::printf("stopped %d\n", int(step));
        std::fflush(stdout);
        for (;;)
            ::pause();
    });
    if (!DMProjectPackage::write(package, request, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
