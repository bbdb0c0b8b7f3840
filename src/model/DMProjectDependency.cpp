#include "DMProjectDependency.h"

#include "DMColorAdditions.h"
#include "DMDictionaryAccess.h"
#include "DMProject.h"
#include "DMProjectCoder.h"
#include "DMProjectDependencyUIObject.h"
#include "DMProjectItem.h"
#include "DMProjectUIObjectFactory.h"

DMProjectDependency::DMProjectDependency() = default;
DMProjectDependency::~DMProjectDependency() = default;

void DMProjectDependency::setEnds(const std::shared_ptr<DMProjectItem> &from, const std::shared_ptr<DMProjectItem> &to)
{
    m_fromItem = from;
    m_toItem = to;
    m_fromItemRaw = from.get();
    m_toItemRaw = to.get();
    if (m_ganttUIObject)
        m_ganttUIObject->representedObject_endsChanged();
}

void DMProjectDependency::clearEnds()
{
    setEnds(nullptr, nullptr);
}

void DMProjectDependency::notifyStyleChanged() const
{
    if (m_ganttUIObject)
        m_ganttUIObject->representedObject_styleChanged();
}

void DMProjectDependency::setKind(int kind)
{
    kind = qBound(0, kind, 3);
    if (kind == m_kind)
        return;
    registerUndo("setKind", [old = m_kind](DMProjectObject &o) { static_cast<DMProjectDependency &>(o).setKind(old); });
    assign(m_kind, kind, DMProjectKey::kind);
    notifyStyleChanged();
    if (DMProject *project = projectPointer())
        project->setNeedsCriticalPathUpdate();
}

void DMProjectDependency::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    registerUndo("setColor", [old = m_color](DMProjectObject &o) { static_cast<DMProjectDependency &>(o).setColor(old); });
    assign(m_color, color, DMProjectKey::color);
    notifyStyleChanged();
}

void DMProjectDependency::setLinkStyle(int style)
{
    style = qBound(0, style, 4);
    if (style == m_linkStyle)
        return;
    registerUndo("setLinkStyle", [old = m_linkStyle](DMProjectObject &o) { static_cast<DMProjectDependency &>(o).setLinkStyle(old); });
    assign(m_linkStyle, style, DMProjectKey::linkStyle);
    notifyStyleChanged();
}

void DMProjectDependency::setHasArrow(bool hasArrow)
{
    if (hasArrow == m_hasArrow)
        return;
    registerUndo("setHasArrow", [old = m_hasArrow](DMProjectObject &o) { static_cast<DMProjectDependency &>(o).setHasArrow(old); });
    assign(m_hasArrow, hasArrow, DMProjectKey::hasArrow);
    notifyStyleChanged();
}

void DMProjectDependency::setDashStyle(int style)
{
    style = qBound(0, style, 3);
    if (style == m_dashStyle)
        return;
    registerUndo("setDashStyle", [old = m_dashStyle](DMProjectObject &o) { static_cast<DMProjectDependency &>(o).setDashStyle(old); });
    assign(m_dashStyle, style, DMProjectKey::dashStyle);
    notifyStyleChanged();
}

void DMProjectDependency::setThickness(int thickness)
{
    thickness = qBound(0, thickness, 2);
    if (thickness == m_thickness)
        return;
    registerUndo("setThickness", [old = m_thickness](DMProjectObject &o) { static_cast<DMProjectDependency &>(o).setThickness(old); });
    assign(m_thickness, thickness, DMProjectKey::thickness);
    notifyStyleChanged();
}

std::shared_ptr<DMProjectDependencyUIObject> DMProjectDependency::ganttUIObject() const
{
    if (!m_ganttUIObjectRequested) {
        if (DMProjectUIObjectFactory *factory = DMProjectUIObjectFactory::registeredFactory()) {
            m_ganttUIObjectRequested = true;
            m_ganttUIObject = factory->newUIObjectForDependency(const_cast<DMProjectDependency &>(*this));
        }
    }
    return m_ganttUIObject;
}

QVariantMap DMProjectDependency::styleRepresentation() const
{
    QVariantMap d;
    d.insert(QStringLiteral("kind"), qint64(m_kind));
    d.insert(QStringLiteral("color"), componentsDictionary(m_color));
    d.insert(QStringLiteral("linkStyle"), qint64(m_linkStyle));
    d.insert(QStringLiteral("hasArrow"), m_hasArrow);
    d.insert(QStringLiteral("dashStyle"), qint64(m_dashStyle));
    d.insert(QStringLiteral("thickness"), qint64(m_thickness));
    return d;
}

QVariantMap DMProjectDependency::dictionaryRepresentation() const
{
    QVariantMap d = styleRepresentation();
    d.insert(QStringLiteral("class"), className());
    d.insert(QStringLiteral("objectID"), DMProjectCoder::idValue(objectID()));
    if (m_fromItemRaw)
        d.insert(QStringLiteral("fromItem"), DMProjectCoder::idValue(m_fromItemRaw->objectID()));
    if (m_toItemRaw)
        d.insert(QStringLiteral("toItem"), DMProjectCoder::idValue(m_toItemRaw->objectID()));
    return d;
}

void DMProjectDependency::loadStyle(const QVariantMap &d)
{
    static const QColor kDefaultLinkColor = DMProjectDependency().color();
    setKind(integerForKey(d, QStringLiteral("kind")));
    // Files leave the default colour out.
    const QColor color = d.contains(QStringLiteral("color"))
        ? colorWithComponentsDictionary(dictionaryForKey(d, QStringLiteral("color")))
        : kDefaultLinkColor;
    if (color.isValid())
        setColor(color);
    setLinkStyle(integerForKey(d, QStringLiteral("linkStyle")));
    setHasArrow(d.contains(QStringLiteral("hasArrow")) ? boolForKey(d, QStringLiteral("hasArrow")) : true);
    setDashStyle(integerForKey(d, QStringLiteral("dashStyle")));
    setThickness(integerForKey(d, QStringLiteral("thickness")));
}
