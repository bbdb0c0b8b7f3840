// Moving rows of the project outline by drag and drop: where a drop may go, where it lands, one
// undo step per move, and payloads that resolve to nothing.
#include "ProjectOutlineTestSupport.h"

#include <QDropEvent>

using namespace outlinetest;

namespace {

// Top level: A B C D, the process P (P1 P2) and the item group G (G1).
class ProjectOutlineDropTest : public ProjectOutlineTest
{
protected:
    void SetUp() override
    {
        ProjectOutlineTest::SetUp();
        for (const char *title : {"A", "B", "C", "D"})
            items[title] = add(title);
        items["P"] = add<DMProjectProcess>("P");
        items["P1"] = add("P1", items["P"]);
        items["P2"] = add("P2", items["P"]);
        items["G"] = add<DMProjectItemGroup>("G");
        items["G1"] = add("G1", items["G"]);
        for (const char *title : {"P", "G"})
            items[title]->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, true);
        finishEventLoopTurn();
        undoManager.removeAllActions();
        reload();
    }
    const DMProjectObject *item(const char *title) { return title ? items.at(title).get() : nullptr; }
    // Validates, then drops when asked; answers the operation and the rows afterwards.
    std::pair<Qt::DropAction, QString> dropOf(const char *dragged, const char *parent, int index, bool accept = true)
    {
        const auto data = dragOf(item(dragged));
        const Qt::DropAction operation = validate(*data, item(parent), index);
        if (accept) {
            EXPECT_EQ(drop(*data, item(parent), index), operation != Qt::IgnoreAction) << "acceptance agrees";
        }
        return {operation, rows().join(QLatin1Char(' '))};
    }

    std::map<std::string, std::shared_ptr<DMProjectItem>> items;
    const QString before = QStringLiteral("Events A B C D P .P1 .P2 G .G1");
};

} // namespace

TEST_F(ProjectOutlineDropTest, ADropBetweenRowsMovesTheRowThereButNotOntoItsOwnPlace)
{
    ASSERT_EQ(rows().join(QLatin1Char(' ')), before);
    struct Case
    {
        const char *dragged;
        const char *parent;
        int index;
        Qt::DropAction operation;
        const char *after;
    };
    // Top-level indexes count the events row: B is at 2.
    for (const Case &c : {
             Case{"B", nullptr, 2, Qt::IgnoreAction, "Events A B C D P .P1 .P2 G .G1"}, // its own place
             Case{"B", nullptr, 3, Qt::IgnoreAction, "Events A B C D P .P1 .P2 G .G1"}, // the place after it
             Case{"B", nullptr, 4, Qt::MoveAction, "Events A C B D P .P1 .P2 G .G1"},   // two further: one down
             Case{"B", nullptr, 1, Qt::MoveAction, "Events B A C D P .P1 .P2 G .G1"},   // to the top
             Case{"B", nullptr, 7, Qt::MoveAction, "Events A C D P .P1 .P2 G .G1 B"},   // after the last
             Case{"B", "P", 1, Qt::MoveAction, "Events A C D P .P1 .B .P2 G .G1"},      // between a process's rows
             Case{"P1", nullptr, 1, Qt::MoveAction, "Events P1 A C D P .B .P2 G .G1"},  // out to the top level
             Case{"B", "P", 1, Qt::IgnoreAction, "Events P1 A C D P .B .P2 G .G1"},     // after itself in P
             Case{"P2", "P", 0, Qt::MoveAction, "Events P1 A C D P .P2 .B G .G1"},
             Case{"A", "G", 1, Qt::IgnoreAction, "Events P1 A C D P .P2 .B G .G1"},     // a group takes none
         }) {
        const auto [operation, after] = dropOf(c.dragged, c.parent, c.index);
        EXPECT_EQ(operation, c.operation) << c.dragged << " to " << (c.parent ? c.parent : "top") << "@" << c.index;
        EXPECT_EQ(after, QString::fromLatin1(c.after)) << c.dragged << " to " << (c.parent ? c.parent : "top") << "@" << c.index;
    }
}

TEST_F(ProjectOutlineDropTest, ADropOntoAProcessMakesTheRowItsFirstChildAndOntoAnythingElseIsRefused)
{
    EXPECT_EQ(dropOf("A", "P", -1), std::pair(Qt::MoveAction, QStringLiteral("Events B C D P .A .P1 .P2 G .G1")));
    EXPECT_EQ(items["A"]->parentItem(), items["P"]);
    EXPECT_EQ(dropOf("A", "P", -1).first, Qt::IgnoreAction) << "already its parent";
    EXPECT_EQ(dropOf("B", "G", -1).first, Qt::IgnoreAction) << "an item group";
    EXPECT_EQ(dropOf("B", "C", -1).first, Qt::IgnoreAction) << "a task";
    EXPECT_EQ(dropOf("B", "B", -1).first, Qt::IgnoreAction) << "itself";
    EXPECT_EQ(dropOf("B", nullptr, -1).first, Qt::IgnoreAction) << "onto nothing";
    EXPECT_EQ(rows().join(QLatin1Char(' ')), QStringLiteral("Events B C D P .A .P1 .P2 G .G1"));
}

TEST_F(ProjectOutlineDropTest, ARowNeverGoesInsideItsOwnSubtreeInEitherView)
{
    auto inner = add<DMProjectProcess>("Q", items["P"]);
    add("Q1", inner);
    reload();
    outline.expandItem(inner.get());
    for (const int index : {-1, 0, 1})
        EXPECT_EQ(validate(*dragOf(item("P")), inner.get(), index), Qt::IgnoreAction) << index;
    EXPECT_EQ(validate(*dragOf(item("P")), item("P"), 0), Qt::IgnoreAction);

    // Resource groups likewise.
    auto resource = [&](const QString &name, int kind, const std::shared_ptr<DMProjectResource> &parent) {
        auto made = std::make_shared<DMProjectResource>(kind);
        made->setProject(project);
        made->setName(name);
        (parent ? parent->subitems() : project->resources()).append(made);
        made->setAttribute(kDMProjectResource_ResourceView_NodeIsExpanded, true);
        return made;
    };
    auto team = resource(QStringLiteral("Team"), DMProjectResource::Group, nullptr);
    auto crew = resource(QStringLiteral("Crew"), DMProjectResource::Group, team);
    auto ann = resource(QStringLiteral("Ann"), DMProjectResource::Resource, crew);
    auto bob = resource(QStringLiteral("Bob"), DMProjectResource::Resource, nullptr);
    const auto itemDrag = dragOf(item("A"));
    project->setAttribute(kDMProject_ViewMode, 1);
    reload();
    ASSERT_EQ(rows(), (QStringList{"Events", "Team", ".Crew", "..Ann", "Bob"}));
    for (const int index : {-1, 0, 1})
        EXPECT_EQ(validate(*dragOf(team.get()), crew.get(), index), Qt::IgnoreAction) << index;
    EXPECT_EQ(validate(*dragOf(bob.get()), ann.get(), -1), Qt::IgnoreAction) << "a resource takes no members";
    EXPECT_TRUE(drop(*dragOf(bob.get()), crew.get(), -1));
    EXPECT_EQ(rows(), (QStringList{"Events", "Team", ".Crew", "..Bob", "..Ann"}));
    EXPECT_EQ(validate(*itemDrag, team.get(), -1), Qt::IgnoreAction) << "an item in the resource view";
    EXPECT_EQ(validate(*itemDrag, nullptr, 1), Qt::IgnoreAction);
}

TEST_F(ProjectOutlineDropTest, AMoveIsOneUndoStepThatPutsTheRowBackWithItsLinksAndAssignments)
{
    auto b = std::static_pointer_cast<DMProjectTask>(items["B"]);
    auto link = b->addOutboundDependencyToItem(items["C"]);
    auto ann = std::make_shared<DMProjectResource>();
    ann->setProject(project);
    ann->setName(QStringLiteral("Ann"));
    project->resources().append(ann);
    b->addResource(ann);
    finishEventLoopTurn();
    undoManager.removeAllActions();
    const QVariantMap before = project->dictionaryRepresentation();

    EXPECT_EQ(dropOf("B", "P", -1).first, Qt::MoveAction);
    finishEventLoopTurn();
    EXPECT_EQ(undoManager.undoStepCount(), 1);
    EXPECT_EQ(undoManager.undoActionName(), QStringLiteral("Move"));
    const QVariantMap moved = project->dictionaryRepresentation();

    undoManager.undo();
    reload();
    EXPECT_EQ(rows().join(QLatin1Char(' ')), this->before);
    EXPECT_EQ(project->dictionaryRepresentation(), before);
    EXPECT_EQ(b->outboundDependencyToItem(items["C"].get()), link);
    EXPECT_EQ(b->concernedResources(), QList<std::shared_ptr<DMProjectResource>>{ann});
    undoManager.redo();
    EXPECT_EQ(project->dictionaryRepresentation(), moved);
}

TEST_F(ProjectOutlineDropTest, PayloadsThatResolveToNothingAreRefused)
{
    const auto valid = dragOf(item("B"));
    const auto payload = DMProjectOutlineDragPayload::fromPasteboard(valid.get());
    ASSERT_TRUE(payload);
    EXPECT_EQ(payload->documentToken, controller->documentToken());
    EXPECT_EQ(payload->objectID, items["B"]->objectID());
    EXPECT_EQ(validate(*valid, nullptr, 4), Qt::MoveAction);

    auto refused = [&](const QByteArray &bytes) {
        QMimeData data;
        data.setData(DMProjectOutlineDragPayload::kType, bytes);
        return validate(data, nullptr, 4) == Qt::IgnoreAction && !drop(data, nullptr, 4);
    };
    // The in-process address a drag once carried, another program's bytes, an unknown document.
    const quintptr address = quintptr(items["B"].get());
    EXPECT_TRUE(refused(QByteArray(reinterpret_cast<const char *>(&address), sizeof address)));
    EXPECT_TRUE(refused("garbage"));
    EXPECT_TRUE(refused(DMProjectOutlineDragPayload{QStringLiteral("0f0f"), payload->objectID, payload->className}.data()));
    EXPECT_TRUE(refused(DMProjectOutlineDragPayload{payload->documentToken, payload->objectID + 1000, payload->className}.data()));
    EXPECT_TRUE(refused(DMProjectOutlineDragPayload{payload->documentToken, payload->objectID, QStringLiteral("DMProjectResource")}.data()));

    // The object removed, then the document it came from closed.
    auto gone = items["A"];
    const auto goneDrag = dragOf(gone.get());
    project->tasks().removeOne(gone);
    EXPECT_EQ(validate(*goneDrag, nullptr, 4), Qt::IgnoreAction);
    FakeOutlineDocument other;
    DMOutlineView otherOutline;
    other.m_project = project;
    other.outline = &otherOutline;
    auto closing = std::make_unique<DMProjectDocumentProjectOutlineDS>(other);
    closing->attachToOutlineView();
    closing->reloadAndRestoreExpansionState();
    QMimeData data;
    ASSERT_TRUE(closing->outlineViewWriteItemsToPasteboard(&otherOutline, {items["C"].get()}, &data));
    EXPECT_EQ(validate(data, nullptr, 1), Qt::MoveAction);
    closing.reset();
    EXPECT_EQ(validate(data, nullptr, 1), Qt::IgnoreAction) << "its document closed";
    EXPECT_EQ(validate(*valid, nullptr, 4), Qt::MoveAction) << "a live payload still reads";
}

TEST_F(ProjectOutlineDropTest, ARealDropOnTheOutlineMovesTheRowBelowTheLast)
{
    outline.registerForDraggedTypes({DMProjectOutlineDragPayload::kType});
    const auto data = dragOf(item("A"));
    const QPoint below(cellCentre(QStringLiteral("title"), 0).x(), outline.outlineModel()->totalHeightOfRows() + 10);
    QDropEvent dropEvent(QPointF(below), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QDragEnterEvent enter(below, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(outline.viewport(), &enter);
    QCoreApplication::sendEvent(outline.viewport(), &dropEvent);
    EXPECT_TRUE(dropEvent.isAccepted());
    EXPECT_EQ(dropEvent.dropAction(), Qt::MoveAction);
    EXPECT_EQ(rows().join(QLatin1Char(' ')), QStringLiteral("Events B C D P .P1 .P2 G .G1 A"));
}
