#pragma once

#include "DMModalUI.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>

class DMProjectDocument;

// Keeps the open documents (any number at once), makes new ones, opens files by type, keeps
// the recent-documents list and the autosave delay.
class DMDocumentController : public QObject
{
    Q_OBJECT

public:
    static DMDocumentController &sharedDocumentController();

    const QList<std::shared_ptr<DMProjectDocument>> &documents() const { return m_documents; }
    std::shared_ptr<DMProjectDocument> documentForURL(const QString &path) const;
    // The document whose window is active, else the most recently opened one.
    std::shared_ptr<DMProjectDocument> currentDocument() const;

    // New: an untitled document with a default project, shown.
    std::shared_ptr<DMProjectDocument> newDocument(bool display = true);
    // Opens the file by its type (a package, or an importer's type); a document already open is
    // brought to the front. Null with *error set on failure (empty: the user cancelled);
    // with reportErrors, the failure is also shown to the user.
    std::shared_ptr<DMProjectDocument> openDocumentWithContentsOfURL(const QString &path, bool display,
                                                                     QString *error = nullptr,
                                                                     bool reportErrors = true);
    // The open or save panel for project packages, titled, with the filter "Halcyra Project
    // (*.hy2)"; a package is one document in it.
    static DMModalUI::FilePanel projectFilePanel(const QString &title);
    // Open and Import: a panel, then openDocumentWithContentsOfURL for each chosen file.
    void openDocument();
    void importDocument();

    // Recent documents, most recent first, kept in the user defaults (at most 10).
    QStringList recentDocumentURLs() const;
    void noteNewRecentDocumentURL(const QString &path);
    void removeRecentDocumentURL(const QString &path);
    void clearRecentDocuments();

    // Seconds from a change to its autosave; 0: no autosave.
    double autosavingDelay() const { return m_autosavingDelay; }
    void setAutosavingDelay(double seconds);

    // Called by a document that closes; the welcome window comes back after the last one
    // unless showWelcomeWindow is false.
    void removeDocument(DMProjectDocument *document, bool showWelcomeWindow);
    // Closes every document without asking (tests, quitting).
    void closeAllDocuments();
    // Releases the closed documents now instead of on the next turn of the event loop; for the
    // end of the event loop, when no handler of their windows is running any more.
    void releaseClosedDocuments();

signals:
    void documentsChanged();
    void recentDocumentsChanged();
    void lastDocumentClosed();

private:
    DMDocumentController();
    void addDocument(const std::shared_ptr<DMProjectDocument> &document, bool display);

    QList<std::shared_ptr<DMProjectDocument>> m_documents;
    QList<std::shared_ptr<DMProjectDocument>> m_closedDocuments; // until m_releaseTimer fires
    QTimer m_releaseTimer;
    double m_autosavingDelay = 15.0;
};
