#include "DMProjectSettingsPane.h"

#include "DMProject.h"

#include <QWidget>

DMProjectSettingsPane::~DMProjectSettingsPane()
{
    m_observations.clear();
    // A container nobody placed in a window is still this pane's.
    if (m_containerView && !m_containerView->parent())
        delete m_containerView.data();
}

void DMProjectSettingsPane::setDocument(Document *document)
{
    m_document = document;
    m_observations.clear();
    m_observedProject.reset();
    updateUI();
}

std::shared_ptr<DMProject> DMProjectSettingsPane::project() const
{
    return m_document ? m_document->project() : nullptr;
}

void DMProjectSettingsPane::observeProject(const QStringList &keyPaths)
{
    const auto project = this->project();
    if (project == m_observedProject.lock() && (project || m_observations.empty()))
        return;
    m_observations.clear();
    m_observedProject = project;
    if (!project)
        return;
    for (const QString &keyPath : keyPaths)
        m_observations.push_back(project->observe(keyPath, [this](const DMChange &change, DMObservable *) {
            if (!change.prior)
                updateUI();
        }));
}
