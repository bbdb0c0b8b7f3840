#include "DMUIProjectDependencyInspectorController.h"

#include "DMColorWell.h"
#include "DMInspectorForm.h"
#include "DMProjectDependency.h"
#include "DMProjectItem.h"
#include "DMSavedLinkStyle.h"
#include "DMUIProjectDependency.h"

#include <QCheckBox>
#include <QComboBox>

DMUIProjectDependencyInspectorController *DMUIProjectDependencyInspectorController::sharedInstance()
{
    return sharedInstanceOf<DMUIProjectDependencyInspectorController>();
}

DMUIProjectDependencyInspectorController::DMUIProjectDependencyInspectorController()
    : DMUIProjectViewObjectEditorController(QStringLiteral("DMUIProjectDependencyInspector"))
{
}

QStringList DMUIProjectDependencyInspectorController::lineStyleTitles()
{
    return {QStringLiteral("Line"), QStringLiteral("Curve"), QStringLiteral("Two segments Up"),
            QStringLiteral("Two segments Down"), QStringLiteral("Three segments")};
}

QStringList DMUIProjectDependencyInspectorController::patternTitles()
{
    return {QStringLiteral("Plain"), QStringLiteral("Dash"), QStringLiteral("Dot"), QStringLiteral("Dash and dot")};
}

bool DMUIProjectDependencyInspectorController::loadInterface()
{
    DMInspectorForm form(QStringLiteral("DMUIProjectDependencyInspectorContainerView"));
    m_linkColorWell = form.addColorWell(QStringLiteral("Color:"), QStringLiteral("linkColorWell"));
    m_stylePopup = form.addPopup(QStringLiteral("Style:"), QStringLiteral("stylePopup"), lineStyleTitles());
    m_hasArrow = form.addCheckBox(QStringLiteral("Arrow"), QStringLiteral("hasArrow"));
    m_patternPopup = form.addPopup(QStringLiteral("Pattern:"), QStringLiteral("patternPopup"), patternTitles());
    m_thicknessPopup = form.addPopup(QStringLiteral("Thickness:"), QStringLiteral("thicknessPopup"),
                                     {QStringLiteral("Thin"), QStringLiteral("Medium"), QStringLiteral("Thick")});
    m_linkKindPopup = form.addPopup(QStringLiteral("Kind:"), QStringLiteral("linkKindPopup"),
                                    {QStringLiteral("Finish to Start"), QStringLiteral("Start to Finish"),
                                     QStringLiteral("Start to Start"), QStringLiteral("Finish to Finish")});
    for (QWidget *control : std::initializer_list<QWidget *>{m_linkColorWell, m_stylePopup, m_hasArrow, m_patternPopup,
                                                             m_thicknessPopup, m_linkKindPopup})
        connectControl(control);
    QWidget *view = form.takeView();
    setContainerView(view, m_stylePopup);
    return true;
}

std::shared_ptr<DMProjectObject> DMUIProjectDependencyInspectorController::modelObjectOf(const DMProjectViewObject &object) const
{
    const auto *line = dynamic_cast<const DMUIProjectDependency *>(&object);
    return line ? line->representedObject() : nullptr;
}

std::shared_ptr<DMProjectDependency> DMUIProjectDependencyInspectorController::editedDependency() const
{
    return std::dynamic_pointer_cast<DMProjectDependency>(liveModelObject());
}

void DMUIProjectDependencyInspectorController::refreshUI()
{
    const std::shared_ptr<DMProjectDependency> dependency = editedDependency();
    if (!dependency)
        return;
    m_linkColorWell->setColor(dependency->color().toRgb());
    m_stylePopup->setCurrentIndex(dependency->linkStyle());
    m_hasArrow->setChecked(dependency->hasArrow());
    m_patternPopup->setCurrentIndex(dependency->dashStyle());
    m_thicknessPopup->setCurrentIndex(dependency->thickness());
    m_linkKindPopup->setCurrentIndex(dependency->kind());
}

void DMUIProjectDependencyInspectorController::commonCallback(QObject *sender)
{
    const std::shared_ptr<DMProjectDependency> dependency = editedDependency();
    if (!dependency || !sender)
        return;
    std::function<int()> change;
    if (sender == m_linkColorWell) {
        change = [&dependency, color = m_linkColorWell->color().toRgb()] {
            dependency->setColor(color);
            return 0;
        };
    } else if (sender == m_stylePopup) {
        change = [&dependency, style = m_stylePopup->currentIndex()] {
            dependency->setLinkStyle(style);
            return 0;
        };
    } else if (sender == m_hasArrow) {
        change = [&dependency, arrow = m_hasArrow->isChecked()] {
            dependency->setHasArrow(arrow);
            return 0;
        };
    } else if (sender == m_patternPopup) {
        change = [&dependency, pattern = m_patternPopup->currentIndex()] {
            dependency->setDashStyle(pattern);
            return 0;
        };
    } else if (sender == m_thicknessPopup) {
        change = [&dependency, thickness = m_thicknessPopup->currentIndex()] {
            dependency->setThickness(thickness);
            return 0;
        };
    } else if (sender == m_linkKindPopup) {
        change = [&dependency, kind = m_linkKindPopup->currentIndex()] {
            const int old = dependency->kind();
            dependency->setKind(kind);
            // The target moves as the new kind requires; a kind whose dates the scheduler
            // refuses (a locked target) is not kept.
            const std::shared_ptr<DMProjectItem> source = dependency->fromItem();
            const int refused = source ? source->enforceLinkedItemsConstrainedDates() : 0;
            if (refused != 0)
                dependency->setKind(old);
            return refused;
        };
    } else {
        return;
    }
    applyChange("Change Link", change);
    // Whatever changed, the link's whole look is what the next link takes.
    DMSavedLinkStyle::saveStyleOfDependency(*dependency);
}
