#pragma once

// The project outline's controller on a real, shown outline, with a document that holds only
// what the controller asks of it.

#include "../model/ModelTestSupport.h"

#include "DMBeep.h"
#include "DMCurrencyFormatter.h"
#include "DMOutlineView.h"
#include "DMProjectDocumentProjectOutlineDS.h"
#include "DMProjectOutlineDocument.h"
#include "DMProjectOutlineDragPayload.h"
#include "DMUserDefaults.h"
#include "TestSupport.h"

#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

namespace outlinetest {

using namespace halcyra::test;

class FakeOutlineDocument : public DMProjectOutlineDocument
{
public:
    std::shared_ptr<DMProject> project() const override { return m_project; }
    DMOutlineView *projectOutlineView() const override { return outline; }
    QMenu *projectOutlineViewMenu() const override { return menu; }
    std::shared_ptr<DMCurrencyFormatter> sharedCurrencyFormatter() override { return currency; }
    void setTaskListColumnHidden(const QString &identifier, bool hidden) override
    {
        columnRequests.append(identifier + (hidden ? QStringLiteral(" hidden") : QStringLiteral(" shown")));
    }

    std::shared_ptr<DMProject> m_project;
    DMOutlineView *outline = nullptr;
    QMenu *menu = nullptr;
    std::shared_ptr<DMCurrencyFormatter> currency = std::make_shared<DMCurrencyFormatter>(QStringLiteral("EUR"), QLocale::c());
    QStringList columnRequests;
};

class ProjectOutlineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        DMUserDefaults::setStorageFileForTesting(folder.filePath(QStringLiteral("defaults.ini")));
        project = DMProject::create();
        project->setAttribute(kDMProject_ViewMode, 0);
        project->setUndoManager(&undoManager);
        document.m_project = project;
        document.outline = &outline;
        document.menu = &menu;
        controller = std::make_unique<DMProjectDocumentProjectOutlineDS>(document);
        controller->attachToOutlineView();
        outline.resize(900, 400);
        outline.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&outline));
    }
    void TearDown() override
    {
        controller.reset();
        finishEventLoopTurn();
    }

    template <typename T = DMProjectTask>
    std::shared_ptr<T> add(const QString &title, const std::shared_ptr<DMProjectItem> &parent = nullptr,
                           const DMDate &begin = at(2024, 1, 8, 8), const DMDate &end = at(2024, 1, 9, 18))
    {
        auto item = makeItem<T>(project, title, begin, T().hasEqualDates() ? begin : end);
        (parent ? parent->subitems() : project->tasks()).append(item);
        return item;
    }
    // Reloads as the document does, with the stored expansion state.
    void reload() { controller->reloadAndRestoreExpansionState(); }

    // The rows shown, each title prefixed with one dot per level; the events row is "Events".
    QStringList rows() const
    {
        QStringList shown;
        for (int row = 0; row < outline.numberOfRows(); ++row) {
            const auto object = controller->objectForItem(outline.itemAtRow(row));
            QString title = object == project->eventContainer() ? QStringLiteral("Events") : value(row, QStringLiteral("title")).toString();
            shown.append(QString(outline.levelForRow(row), QLatin1Char('.')) + title);
        }
        return shown;
    }
    QVariant value(int row, const QString &column) const
    {
        const DMOutlineViewModel *model = outline.outlineModel();
        return model->data(model->indexForRow(row, model->logicalColumnWithIdentifier(column)));
    }
    // The centre of a row's cell, in viewport coordinates.
    QPoint cellCentre(const QString &column, int row) const
    {
        return outline.frameOfCellAtColumnRow(outline.columnWithIdentifier(column), row).center() - outline.contentOffset();
    }
    void doubleClick(const QString &column, int row)
    {
        const QPoint point = cellCentre(column, row);
        QTest::mouseClick(outline.viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(outline.viewport(), Qt::LeftButton, {}, point);
        QTest::mouseRelease(outline.viewport(), Qt::LeftButton, {}, point);
    }

    // The pasteboard of a drag of the object's row.
    std::unique_ptr<QMimeData> dragOf(const DMProjectObject *object)
    {
        auto data = std::make_unique<QMimeData>();
        EXPECT_TRUE(controller->outlineViewWriteItemsToPasteboard(&outline, {object}, data.get()));
        return data;
    }
    Qt::DropAction validate(const QMimeData &data, const DMProjectObject *parent, int index)
    {
        return controller->outlineViewValidateDropProposedItemProposedChildIndex(&outline, {&data}, parent, index);
    }
    bool drop(const QMimeData &data, const DMProjectObject *parent, int index)
    {
        return controller->outlineViewAcceptDropItemChildIndex(&outline, {&data}, parent, index);
    }

    QTemporaryDir folder;
    std::shared_ptr<DMProject> project;
    DMUndoManager undoManager;
    FakeOutlineDocument document;
    QMenu menu;
    DMOutlineView outline;
    std::unique_ptr<DMProjectDocumentProjectOutlineDS> controller;
};

} // namespace outlinetest
