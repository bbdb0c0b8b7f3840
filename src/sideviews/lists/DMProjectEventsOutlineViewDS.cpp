#include "DMProjectEventsOutlineViewDS.h"

#include "DMLocalizedString.h"
#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectKeys.h"
#include "DMProjectListDocument.h"
#include "DMUndoManager.h"
#include "DMUndoRegistrationPause.h"

#include <QBoxLayout>

const QString DMProjectEventsOutlineViewDS::kNotesColumn = QStringLiteral("notes");

DMProjectEventsOutlineViewDS::DMProjectEventsOutlineViewDS(DMProjectListDocument &document)
    : DMProjectItemListController(document)
{
}

DMProjectEventsOutlineViewDS::~DMProjectEventsOutlineViewDS() = default;

void DMProjectEventsOutlineViewDS::setUpColumns(DMOutlineView *outline)
{
    addItemColumn(outline, kPreviewColumn, QString(), 60);
    addItemColumn(outline, kTitleColumn, DMLocalizedString("Title"), 220);
    addItemColumn(outline, kBeginDateColumn, DMLocalizedString("Begin"), 130);
    addItemColumn(outline, kEndDateColumn, DMLocalizedString("End"), 130);
    addItemColumn(outline, kDurationColumn, DMLocalizedString("Duration"), 110);
    addItemColumn(outline, kNotesColumn, DMLocalizedString("Notes"), 300);
    outline->setRowHeight(22);
    outline->setRootIsDecorated(false);
    outline->setKeyboardEditedColumn(kTitleColumn);
}

void DMProjectEventsOutlineViewDS::addButtons(QBoxLayout *bar)
{
    addButton(bar, DMLocalizedString("New Event"), DMLocalizedString("Add an event"), [this] { add(); });
    addSelectionButton(bar, DMLocalizedString("Delete"), DMLocalizedString("Delete the selected events"),
                       [this] { deleteSelectedItems(); });
    addSelectionButton(bar, DMLocalizedString("Inspect"), DMLocalizedString("Show the inspector of the selected event"),
                       [this] { editSelectedItem(); });
}

int DMProjectEventsOutlineViewDS::outlineViewNumberOfChildrenOfItem(DMOutlineView *, DMOutlineItem item)
{
    const auto project = m_document.project();
    return project && !item ? int(project->eventContainer()->events().size()) : 0;
}

DMOutlineItem DMProjectEventsOutlineViewDS::outlineViewChildOfItem(DMOutlineView *, int index, DMOutlineItem item)
{
    const auto project = m_document.project();
    if (!project || item || index < 0 || index >= project->eventContainer()->events().size())
        return nullptr;
    return remember(project->eventContainer()->events().at(index));
}

QVariant DMProjectEventsOutlineViewDS::itemValue(const DMProjectItem &item, const QString &column) const
{
    if (column == kNotesColumn)
        return item.attribute(kDMProjectItem_Notes).toString();
    return DMProjectItemListController::itemValue(item, column);
}

void DMProjectEventsOutlineViewDS::setItemValue(DMProjectItem &item, const QVariant &value, const QString &column)
{
    if (column == kNotesColumn)
        item.setAttribute(kDMProjectItem_Notes, value.toString().isEmpty() ? QVariant() : QVariant(value.toString()));
    else
        DMProjectItemListController::setItemValue(item, value, column);
}

void DMProjectEventsOutlineViewDS::add()
{
    const auto project = m_document.project();
    if (!project)
        return;
    auto event = std::make_shared<DMProjectEvent>();
    event->setTitle(DMLocalizedString("New Event"));
    event->setProject(project);
    // Events count whole 24-hour days whatever the working day.
    const qint32 duration = defaultTaskDuration(*project, 86400);
    const DMDate begin = project->beginDate().isNull() ? DMDate::dateForNow() : project->beginDate();
    bool dated = false;
    {
        const DMUndoRegistrationPause pause(project->undoManager());
        dated = giveNewItemDates(*event, begin, duration);
    }
    if (!dated)
        return;
    insertNewItem(event, DMLocalizedString("New Event"), [&] { project->eventContainer()->events().append(event); },
                  nullptr, DMPage::EventsPage);
}
