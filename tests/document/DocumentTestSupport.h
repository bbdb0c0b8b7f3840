#pragma once

#include "../model/ModelTestSupport.h"

#include "DMBeep.h"
#include "DMDocumentController.h"
#include "DMProjectDocument.h"
#include "DMProjectPackage.h"
#include "DMUserDefaults.h"
#include "FakeModalUI.h"
#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace halcyra::test {

// Every test gets its own folder, user defaults and modal UI, and leaves no document open.
class DocumentTestBase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        DMUserDefaults::setStorageFileForTesting(folder.filePath(QStringLiteral("defaults.ini")));
        DMModalUI::setInstance(&ui);
        DMDocumentController::sharedDocumentController().setAutosavingDelay(0.0);
        DMProjectPackage::setFailingStepForTesting(-1);
    }
    void TearDown() override
    {
        DMDocumentController::sharedDocumentController().closeAllDocuments();
        pumpEvents(10);
        DMProjectPackage::setFailingStepForTesting(-1);
        DMModalUI::setInstance(nullptr);
    }

    QString path(const QString &name) const { return folder.filePath(name); }

    // A document holding the project, known to the controller as an open document would be.
    std::shared_ptr<DMProjectDocument> documentWithProject(const std::shared_ptr<DMProject> &project)
    {
        auto document = std::make_shared<DMProjectDocument>();
        document->setProject(project);
        document->setFileType(DMProjectDocument::kDocumentType);
        return document;
    }

    QTemporaryDir folder;
    FakeModalUI ui;
};

// Every file below the folder (hidden ones included) with its bytes.
inline QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QFile f(file);
        QByteArray bytes = "<folder>";
        if (QFileInfo(file).isFile() && f.open(QIODevice::ReadOnly))
            bytes = f.readAll();
        files.insert(QDir(folder).relativeFilePath(file), bytes);
    }
    return files;
}

inline QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace halcyra::test
