#pragma once

#include "DMMutableArray.h"
#include "DMProjectObject.h"

class DMProjectEvent;

// The project's events. Appending an event makes it part of the project and of the events row
// layout: overlapping events take separate lanes (the event's subRow), and subRowCount (at
// least 0, observable) sets the height of the events row.
class DMProjectEventContainer : public DMProjectObject, private DMMutableArray<std::shared_ptr<DMProjectEvent>>::Delegate
{
public:
    using EventList = DMMutableArray<std::shared_ptr<DMProjectEvent>>;

    DMProjectEventContainer();
    ~DMProjectEventContainer() override;

    static QString staticClassName() { return QStringLiteral("DMProjectEventContainer"); }
    QString className() const override { return staticClassName(); }

    EventList &events() { return m_events; }
    const EventList &events() const { return m_events; }
    int subRowCount() const { return m_subRowCount; }

    // Gives each event the first lane free at its begin, in chronological order.
    void layoutSubRows();

    // {"class", "objectID", "events"}.
    QVariantMap dictionaryRepresentation() const override;

private:
    friend class DMProject;
    void mutableArrayWillChange(EventList &array, const EventList::Change &change) override;
    void mutableArrayDidChange(EventList &array, const EventList::Change &change) override;

    EventList m_events;
    int m_subRowCount = 0;
    QList<quint64> m_orderBefore;
};
