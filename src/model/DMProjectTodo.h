#pragma once

#include "DMDate.h"
#include "DMProjectKeys.h"
#include "DMProjectObject.h"

// A to-do of the project's list, or a category separator ('Sptr') that keeps its collapsed
// state under the attribute "collapsed". Setters are observable and undoable.
class DMProjectTodo : public DMProjectObject
{
public:
    explicit DMProjectTodo(std::uint32_t kind = kDMProjectTodo_Kind_Todo);

    static QString staticClassName() { return QStringLiteral("DMProjectTodo"); }
    QString className() const override { return staticClassName(); }
    std::uint32_t kind() const { return m_kind; }
    bool isSeparator() const { return m_kind == kDMProjectTodo_Kind_Separator; }

    DMDate date() const { return m_date; }
    void setDate(const DMDate &date);
    bool done() const { return m_done; }
    void setDone(bool done);
    bool noDueDate() const { return m_noDueDate; }
    void setNoDueDate(bool noDueDate);

    const QVariantMap &attributes() const { return m_attributes; }
    QVariant attribute(const QString &key) const { return m_attributes.value(key); }
    void setAttribute(const QString &key, const QVariant &value); // invalid value removes
    void setAttributes(const QVariantMap &attributes);
    QString text() const;                  // kDMProjectTodo_Text
    void setText(const QString &text);

    // {"class", "objectID", "kind", "date", "done", "noDueDate", "attributes"} with the
    // attributes serialized as {"class", "object"}.
    QVariantMap dictionaryRepresentation() const override;
    // Fills a new to-do (setProject first); false for an unusable dictionary.
    // *problem names what was mended (logged instead when not given).
    bool loadDictionaryRepresentationProject(const QVariantMap &dictionary, const std::shared_ptr<DMProject> &project,
                                             QString *problem = nullptr);

private:
    void contentDidChange();

    std::uint32_t m_kind;
    DMDate m_date;
    bool m_done = false;
    bool m_noDueDate = false;
    QVariantMap m_attributes;
};
