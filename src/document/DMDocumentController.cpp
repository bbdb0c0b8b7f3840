#include "DMDocumentController.h"

#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMPreferenceKeys.h"
#include "DMProjectDocument.h"
#include "DMProjectPackage.h"
#include "DMReadGuard.h"
#include "DMUserDefaults.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QTimer>

namespace {
constexpr int kMaximumRecentDocuments = 10;
}

DMDocumentController::DMDocumentController()
{
    m_releaseTimer.setSingleShot(true);
    m_releaseTimer.setInterval(0);
    connect(&m_releaseTimer, &QTimer::timeout, this, &DMDocumentController::releaseClosedDocuments);
}

DMDocumentController &DMDocumentController::sharedDocumentController()
{
    static DMDocumentController *controller = new DMDocumentController;
    return *controller;
}

std::shared_ptr<DMProjectDocument> DMDocumentController::documentForURL(const QString &path) const
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (const auto &document : m_documents)
        if (!document->fileURL().isEmpty() && document->fileURL() == absolute)
            return document;
    return nullptr;
}

std::shared_ptr<DMProjectDocument> DMDocumentController::currentDocument() const
{
    QWidget *active = QApplication::activeWindow();
    for (const auto &document : m_documents)
        if (active && document->mainWindow() == active)
            return document;
    return m_documents.isEmpty() ? nullptr : m_documents.last();
}

void DMDocumentController::addDocument(const std::shared_ptr<DMProjectDocument> &document, bool display)
{
    m_documents.append(document);
    if (display)
        document->showWindows();
    emit documentsChanged();
}

std::shared_ptr<DMProjectDocument> DMDocumentController::newDocument(bool display)
{
    auto document = std::make_shared<DMProjectDocument>();
    document->initWithDefaultProject();
    addDocument(document, display);
    return document;
}

std::shared_ptr<DMProjectDocument> DMDocumentController::openDocumentWithContentsOfURL(const QString &path, bool display,
                                                                                       QString *error, bool reportErrors)
{
    QString message;
    if (auto open = documentForURL(path)) {
        if (display)
            open->showWindows();
        return open;
    }
    const QString type = DMProjectDocument::typeForPath(path);
    auto document = std::make_shared<DMProjectDocument>();
    bool ok = !type.isEmpty();
    if (!ok)
        message = DMLocalizedString("Halcyra cannot open documents of this type.");
    // What reading throws ends here: the new document is dropped and no other one is touched.
    const auto read = [&] {
        return document->readFromURLOfType(path, type, &message) && document->loadProjectIfNeeded(&message);
    };
    ok = ok && DMReadGuard::run(read, &message);
    if (!ok) {
        if (error)
            *error = message;
        // No window yet: the error is application-modal.
        if (reportErrors && !message.isEmpty())
            DMModalUI::instance().presentError(
                DMLocalizedString("The document \"%1\" could not be opened.").arg(QFileInfo(path).fileName()), message,
                nullptr, DMLocalizedString("Open"));
        return nullptr;
    }
    // An imported document forgets this location when its window is set up.
    document->setFileURL(path);
    if (type == DMProjectDocument::kDocumentType)
        noteNewRecentDocumentURL(document->fileURL());
    addDocument(document, display);
    return document;
}

DMModalUI::FilePanel DMDocumentController::projectFilePanel(const QString &title)
{
    DMModalUI::FilePanel panel;
    panel.title = title;
    panel.allowedExtensions = {DMProjectPackage::kExtension};
    panel.typeDescription = DMLocalizedString("Halcyra Project");
    panel.packageExtensions = {DMProjectPackage::kExtension};
    return panel;
}

void DMDocumentController::openDocument()
{
    DMModalUI::FilePanel panel = projectFilePanel(DMLocalizedString("Open"));
    // The earlier planner's documents open as new, untitled projects.
    panel.allowedExtensions << QStringLiteral("pendulo");
    panel.allowsMultipleSelection = true;
    for (const QString &path : DMModalUI::instance().runOpenPanel(panel))
        openDocumentWithContentsOfURL(path, true);
}

void DMDocumentController::importDocument()
{
    DMModalUI::FilePanel panel;
    panel.title = DMLocalizedString("Import");
    panel.allowedExtensions = {QStringLiteral("xml")};
    panel.typeDescription = DMLocalizedString("MS Project XML Document");
    for (const QString &path : DMModalUI::instance().runOpenPanel(panel))
        openDocumentWithContentsOfURL(path, true);
}

QStringList DMDocumentController::recentDocumentURLs() const
{
    return DMUserDefaults::standardUserDefaults().objectForKey(kDMRecentDocumentPaths).toStringList();
}

void DMDocumentController::noteNewRecentDocumentURL(const QString &path)
{
    if (path.isEmpty())
        return;
    QStringList paths = recentDocumentURLs();
    paths.removeAll(path);
    paths.prepend(path);
    while (paths.size() > kMaximumRecentDocuments)
        paths.removeLast();
    DMUserDefaults::standardUserDefaults().setObjectForKey(paths, kDMRecentDocumentPaths);
    emit recentDocumentsChanged();
}

void DMDocumentController::removeRecentDocumentURL(const QString &path)
{
    QStringList paths = recentDocumentURLs();
    if (paths.removeAll(path) == 0)
        return;
    DMUserDefaults::standardUserDefaults().setObjectForKey(paths, kDMRecentDocumentPaths);
    emit recentDocumentsChanged();
}

void DMDocumentController::clearRecentDocuments()
{
    DMUserDefaults::standardUserDefaults().setObjectForKey(QStringList(), kDMRecentDocumentPaths);
    emit recentDocumentsChanged();
}

void DMDocumentController::setAutosavingDelay(double seconds)
{
    m_autosavingDelay = seconds > 0.0 ? seconds : 0.0;
}

void DMDocumentController::removeDocument(DMProjectDocument *document, bool showWelcomeWindow)
{
    for (qsizetype i = 0; i < m_documents.size(); ++i) {
        if (m_documents.at(i).get() != document)
            continue;
        // Released on the next turn of the event loop: the document may be closing from inside
        // an event handler of its own window.
        m_closedDocuments.append(m_documents.takeAt(i));
        m_releaseTimer.start();
        emit documentsChanged();
        if (m_documents.isEmpty() && showWelcomeWindow)
            emit lastDocumentClosed();
        return;
    }
}

void DMDocumentController::releaseClosedDocuments()
{
    m_releaseTimer.stop();
    // A document's destruction may close another one: take the list before releasing.
    while (!m_closedDocuments.isEmpty()) {
        QList<std::shared_ptr<DMProjectDocument>> closed;
        closed.swap(m_closedDocuments);
        closed.clear();
    }
}

void DMDocumentController::closeAllDocuments()
{
    const QList<std::shared_ptr<DMProjectDocument>> documents = m_documents;
    for (const auto &document : documents)
        document->closeWithoutShowingRecentItemsWindow();
}
