#pragma once

// What the chart's selection may hold: only objects of items and links that are in the document's
// project. Checked after edits, undo and redo, whatever took an item out.

#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectDocument.h"
#include "DMProjectItem.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMProjectView.h"
#include "DMUIProjectDependency.h"
#include "DMUIProjectItem.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace halcyra::test {

// Passes when every object selected on the document's chart stands for an item or a link that the
// project holds under its ID, and a bar of a resource's row for an assignment its task still has.
// A document without a window has no selection and passes.
inline ::testing::AssertionResult everySelectedCanvasObjectIsInProject(const DMProjectDocument &document)
{
    const DMProjectView *canvas = document.outlets().projectView;
    const std::shared_ptr<DMProject> project = document.project();
    if (!canvas || !project)
        return ::testing::AssertionSuccess();
    const auto held = [&project](const std::shared_ptr<DMProjectObject> &object) {
        return object && project->indexedObject(object->objectID()) == object;
    };
    QStringList outside;
    for (const auto &object : canvas->selectedObjects()) {
        if (const auto *bar = dynamic_cast<const DMUIProjectItem *>(object.get())) {
            const std::shared_ptr<DMProjectItem> item = bar->representedObject();
            bool shown = held(item);
            if (shown && bar->resourceViewResource()) {
                const auto *task = dynamic_cast<const DMProjectTask *>(item.get());
                shown = task && task->resourceUIObject(bar->resourceViewResource()).get() == bar;
            }
            if (!shown)
                outside.append(QStringLiteral("bar of \"%1\"").arg(item ? item->title() : QString()));
        } else if (const auto *line = dynamic_cast<const DMUIProjectDependency *>(object.get())) {
            if (!held(line->representedObject()))
                outside.append(QStringLiteral("link line"));
        }
    }
    if (outside.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "selected, though not in the project: " << outside.join(QStringLiteral(", ")).toStdString();
}

} // namespace halcyra::test
