#pragma once

#include "DMUIProjectViewObjectEditorController.h"

#include <QStringList>

class DMColorWell;
class DMProjectDependency;
class QCheckBox;
class QComboBox;

// The inspector of link lines: the link's colour, line style, arrow, dash pattern, thickness and
// kind. A new kind pushes the target as the kind requires. After every change the link's look
// becomes the saved link style (DMSavedLinkStyle) that the next link drawn takes.
class DMUIProjectDependencyInspectorController : public DMUIProjectViewObjectEditorController
{
    Q_OBJECT

public:
    static QString className() { return QStringLiteral("DMUIProjectDependencyInspectorController"); }
    static DMUIProjectDependencyInspectorController *sharedInstance();

    // The titles of the style and pattern pop-ups, by index; the link line's context menu shows
    // the same.
    static QStringList lineStyleTitles();
    static QStringList patternTitles();

    DMColorWell *linkColorWell() const { return m_linkColorWell; }
    QComboBox *stylePopup() const { return m_stylePopup; }
    QCheckBox *hasArrow() const { return m_hasArrow; }
    QComboBox *patternPopup() const { return m_patternPopup; }
    QComboBox *thicknessPopup() const { return m_thicknessPopup; }
    QComboBox *linkKindPopup() const { return m_linkKindPopup; }

    void refreshUI() override;
    void commonCallback(QObject *sender) override;

protected:
    std::shared_ptr<DMProjectObject> modelObjectOf(const DMProjectViewObject &object) const override;

private:
    friend class DMUIProjectViewObjectEditorController;
    DMUIProjectDependencyInspectorController();
    bool loadInterface() override;
    std::shared_ptr<DMProjectDependency> editedDependency() const;

    DMColorWell *m_linkColorWell = nullptr;
    QComboBox *m_stylePopup = nullptr;
    QCheckBox *m_hasArrow = nullptr;
    QComboBox *m_patternPopup = nullptr;
    QComboBox *m_thicknessPopup = nullptr;
    QComboBox *m_linkKindPopup = nullptr;
};
