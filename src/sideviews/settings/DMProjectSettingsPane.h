#pragma once

#include "DMObservable.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <vector>

class DMProject;
class QWidget;

// What the document's settings pages share: they keep no project data, but fill every control
// from the project of their document when asked (updateUI), follow the project's keys they show
// while it changes behind their back (undo, redo, other views), and hand their controls over in
// one container view.
//
// Owned by its document, which sets itself with setDocument and clears it before it goes. The
// container view goes to whoever places it in a window; a container nobody placed goes with the
// pane.
class DMProjectSettingsPane : public QObject
{
    Q_OBJECT

public:
    // What a pane needs of its document; every default means "none".
    class Document
    {
    public:
        virtual ~Document() = default;
        virtual std::shared_ptr<DMProject> project() const { return nullptr; }
        virtual QWidget *windowForSheet() const { return nullptr; }
        virtual QString folderForPanels() const { return {}; }
    };

    ~DMProjectSettingsPane() override;

    Document *document() const { return m_document; }
    void setDocument(Document *document);
    QWidget *containerView() const { return m_containerView; }

    // Every control from the project's current state.
    virtual void updateUI() = 0;

protected:
    DMProjectSettingsPane() = default;

    std::shared_ptr<DMProject> project() const;
    void setContainerView(QWidget *container) { m_containerView = container; }
    // Observes the key paths of the document's project ("title", "attributes.<key>"), once per
    // project, and shows every change once it is made.
    void observeProject(const QStringList &keyPaths);

private:
    Document *m_document = nullptr;
    std::weak_ptr<DMProject> m_observedProject;
    std::vector<DMObservation> m_observations;
    QPointer<QWidget> m_containerView;
};
