// Commands issued to an open document with no pause between them, as fast typing and scripts
// do: each goes through the document's undo manager as a step of its own, and each undo and
// redo takes back or brings back exactly that step.
#include "DocumentTestSupport.h"

#include "../model/RandomProjectEditor.h"

using namespace halcyra::test;

namespace {

class DocumentUndoTest : public DocumentTestBase
{
};

QList<std::shared_ptr<DMProjectItem>> itemsOf(const DMProject &project)
{
    QList<std::shared_ptr<DMProjectItem>> all;
    DMProjectItem_forEachItem(project.tasks().list(), [&all](DMProjectItem &item) {
        all.append(std::static_pointer_cast<DMProjectItem>(item.shared_from_this()));
    });
    return all;
}

} // namespace

TEST_F(DocumentUndoTest, RandomCommandsWithoutPausesAreUndoneAndRedoneOneByOne)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        FullProject f = makeFullProject();
        // The Gantt view: the resource view would lay out its lanes (saved, but not undone) a
        // turn after each change.
        f.project->setAttribute(kDMProject_ViewMode, 0);
        const auto document = documentWithProject(f.project);
        std::mt19937 random{seed * 2654435761u};
        RandomEditor editor(f, random);
        const auto someItem = [&]() -> std::shared_ptr<DMProjectItem> {
            const auto all = itemsOf(*f.project);
            return all.isEmpty() ? nullptr : all.at(qsizetype(random() % unsigned(all.size())));
        };
        undoAndRedoAtRandom(*f.project, *document->undoManager(), editor, random, 60, [&] {
            switch (random() % 6) {
            case 0:
                if (const auto item = someItem()) {
                    editor.note("delete");
                    document->deleteItems({item});
                }
                break;
            case 1:
                if (const auto item = someItem()) {
                    editor.note("paste");
                    document->insertObjectFromDictionnariesInItemNextTo(document->dictionaryForObjects({item}), nullptr, nullptr);
                }
                break;
            default:
                editor.edit();
                break;
            }
            finishEventLoopTurn();
        });
        ASSERT_FALSE(HasFatalFailure());
    }
}
