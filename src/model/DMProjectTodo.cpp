#include "DMProjectTodo.h"

#include "DMDictionaryAccess.h"
#include "DMProject.h"
#include "DMProjectCoder.h"
#include "DMProjectTodoContainer.h"

DMProjectTodo::DMProjectTodo(std::uint32_t kind)
    : m_kind(kind == kDMProjectTodo_Kind_Separator ? kDMProjectTodo_Kind_Separator : kDMProjectTodo_Kind_Todo)
{
    const DMDate now = DMDate::dateForNow();
    m_date = DMDate(now.year(), now.month(), now.day(), 0);
}

void DMProjectTodo::contentDidChange()
{
    const DMProject *project = projectPointer();
    if (project && isAttached() && project->todoContainer())
        project->todoContainer()->rearrangeObjects();
}

void DMProjectTodo::setDate(const DMDate &date)
{
    if (date == m_date && date.isNull() == m_date.isNull())
        return;
    registerUndo("setDate", [old = m_date](DMProjectObject &o) { static_cast<DMProjectTodo &>(o).setDate(old); });
    willChangeValueForKey(DMProjectKey::date);
    m_date = date;
    didChangeValueForKey(DMProjectKey::date);
    contentDidChange();
}

void DMProjectTodo::setDone(bool done)
{
    if (done == m_done)
        return;
    registerUndo("setDone", [old = m_done](DMProjectObject &o) { static_cast<DMProjectTodo &>(o).setDone(old); });
    assign(m_done, done, DMProjectKey::done);
}

void DMProjectTodo::setNoDueDate(bool noDueDate)
{
    if (noDueDate == m_noDueDate)
        return;
    registerUndo("setNoDueDate", [old = m_noDueDate](DMProjectObject &o) { static_cast<DMProjectTodo &>(o).setNoDueDate(old); });
    assign(m_noDueDate, noDueDate, DMProjectKey::noDueDate);
    contentDidChange();
}

void DMProjectTodo::setAttribute(const QString &key, const QVariant &value)
{
    // The text orders the list; a separator's state shows or hides its category.
    if (assignAttribute(m_attributes, key, value, &DMProjectTodo::setAttribute)
        && (key == kDMProjectTodo_Text || (key == kDMProjectTodo_Collapsed && isSeparator())))
        contentDidChange();
}

void DMProjectTodo::setAttributes(const QVariantMap &attributes)
{
    for (const QString &key : attributeKeysToSet(m_attributes, attributes))
        setAttribute(key, attributes.value(key));
}

QString DMProjectTodo::text() const
{
    return stringForKey(m_attributes, kDMProjectTodo_Text);
}

void DMProjectTodo::setText(const QString &text)
{
    setAttribute(kDMProjectTodo_Text, text);
}

QVariantMap DMProjectTodo::dictionaryRepresentation() const
{
    QVariantMap d;
    d.insert(QStringLiteral("class"), className());
    d.insert(QStringLiteral("objectID"), DMProjectCoder::idValue(objectID()));
    d.insert(QStringLiteral("kind"), qint64(m_kind));
    if (!m_date.isNull())
        d.insert(QStringLiteral("date"), DMProjectCoder::dateValue(m_date));
    d.insert(QStringLiteral("done"), m_done);
    d.insert(QStringLiteral("noDueDate"), m_noDueDate);
    d.insert(QStringLiteral("attributes"), DMProjectCoder::encodeAttributes(m_attributes));
    return d;
}

bool DMProjectTodo::loadDictionaryRepresentationProject(const QVariantMap &d, const std::shared_ptr<DMProject> &project,
                                                        QString *problem)
{
    if (d.value(QStringLiteral("class")).toString() != staticClassName())
        return false;
    quint64 id = 0;
    if (DMProjectCoder::readObjectID(d, &id))
        setObjectID(id);
    setProject(project);
    m_kind = quint32(longLongForKey(d, QStringLiteral("kind"))) == kDMProjectTodo_Kind_Separator ? kDMProjectTodo_Kind_Separator
                                                                                               : kDMProjectTodo_Kind_Todo;
    QStringList problems;
    DMDate date;
    if (DMProjectCoder::readDate(d, QStringLiteral("date"), &date))
        m_date = date;
    else if (d.contains(QStringLiteral("date")))
        problems << QStringLiteral("date out of range, today used");
    m_done = boolForKey(d, QStringLiteral("done"));
    m_noDueDate = boolForKey(d, QStringLiteral("noDueDate"));
    bool damaged = false;
    m_attributes = DMProjectCoder::decodeAttributes(d.value(QStringLiteral("attributes")), &damaged);
    if (damaged)
        problems << QStringLiteral("damaged attributes dropped");
    if (problem)
        *problem = problems.join(QStringLiteral(", "));
    else if (!problems.isEmpty())
        qWarning("A to-do was mended: %s", qPrintable(problems.join(QStringLiteral(", "))));
    return true;
}
