#pragma once

#include "DMProjectItem.h"

// An event of the project's event list (DMProjectEventContainer), drawn in the events row.
class DMProjectEvent : public DMProjectItem
{
public:
    DMProjectEvent();

    static QString staticClassName() { return QStringLiteral("DMProjectEvent"); }
    QString className() const override { return staticClassName(); }
    bool isKindOfClass(const QString &className) const override;
    std::uint32_t kind() const override { return kDMProjectItem_Kind_Event; }

    // Lane of the event within the events row, laid out by the container (observable
    // "subRow"; not undoable, recomputed from the dates).
    int subRow() const { return m_subRow; }
    void setSubRow(int subRow);
    // The event that follows in the same lane, set with the lanes; null for the last.
    std::shared_ptr<DMProjectEvent> nextInSubRow() const { return m_nextInSubRow.lock(); }
    void setNextInSubRow(const std::shared_ptr<DMProjectEvent> &next) { m_nextInSubRow = next; }

protected:
    void itemDatesDidChange() override;

private:
    int m_subRow = 0;
    std::weak_ptr<DMProjectEvent> m_nextInSubRow;
};
