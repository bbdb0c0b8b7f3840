#pragma once

#include "DMProjectItemListController.h"

// The event list (DMPage::EventsPage): the project's events, flat, with a preview of each, in-place editing
// of title and notes, the date editor over the date cells, the event inspector for the rest, and
// commands to add, delete and inspect events. The task list narrowed to events, without drag
// and drop. Owned by the document.
//
// Columns: "preview", "title", "beginDate", "endDate", "duration" and "notes".
class DMProjectEventsOutlineViewDS : public DMProjectItemListController
{
    Q_OBJECT

public:
    static const QString kNotesColumn; // "notes"

    // Not owned: the document owns this controller.
    explicit DMProjectEventsOutlineViewDS(DMProjectListDocument &document);
    ~DMProjectEventsOutlineViewDS() override;

    // A new event at the project's begin date lasting the default task duration in 24-hour days,
    // appended to the events, its title edited in place so that the title typed next names it.
    void add();

    // DMOutlineViewDataSource
    int outlineViewNumberOfChildrenOfItem(DMOutlineView *view, DMOutlineItem item) override;
    DMOutlineItem outlineViewChildOfItem(DMOutlineView *view, int index, DMOutlineItem item) override;

protected:
    void setUpColumns(DMOutlineView *outline) override;
    void addButtons(QBoxLayout *bar) override;
    QVariant itemValue(const DMProjectItem &item, const QString &column) const override;
    void setItemValue(DMProjectItem &item, const QVariant &value, const QString &column) override;
    bool editsTitleOfNewItem(bool) const override { return true; }
};
