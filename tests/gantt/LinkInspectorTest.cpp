// The link inspector and the saved link style that the next link drawn on the canvas takes.
#include "InspectorTestSupport.h"

#include "DMColorAdditions.h"
#include "DMColorWell.h"
#include "DMObjectSerialization.h"
#include "DMSavedLinkStyle.h"

#include <QComboBox>

using namespace gantttest;

namespace {

class LinkInspectorTest : public InspectorTest
{
protected:
    void SetUp() override
    {
        InspectorTest::SetUp();
        first = addTask("First", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
        second = addTask("Second", at(2024, 1, 4, 8), at(2024, 1, 4, 18));
        third = addTask("Third", at(2024, 1, 9, 8), at(2024, 1, 9, 18));
        link = first->addOutboundDependencyToItem(second);
    }
    DMUIProjectDependencyInspectorController *inspectLink()
    {
        if (!document->mainWindow())
            open();
        std::dynamic_pointer_cast<DMProjectViewObject>(link->ganttUIObject())->editInView(canvas());
        return DMUIProjectDependencyInspectorController::sharedInstance();
    }
    static void choose(QComboBox *popup, int index)
    {
        popup->setCurrentIndex(index);
        emit popup->activated(index);
    }
    // Draws a link from the end handle of one bar to another with the mouse.
    void drawLink(const std::shared_ptr<DMProjectItem> &from, const std::shared_ptr<DMProjectItem> &to)
    {
        auto bar = std::dynamic_pointer_cast<DMUIProjectTask>(barOf(from));
        QTest::mouseMove(canvas(), viewPoint(bar->frame().center()));
        drag(bar->dependencyStartRect().center(), barOf(to)->frame().center());
    }

    std::shared_ptr<DMProjectTask> first;
    std::shared_ptr<DMProjectTask> second;
    std::shared_ptr<DMProjectTask> third;
    std::shared_ptr<DMProjectDependency> link;
};

} // namespace

TEST_F(LinkInspectorTest, ANewKindMovesTheTargetAndEveryChangeSavesTheLinksLook)
{
    // A link whose target begins before its source: start to start makes the target move.
    first->removeOutboundDependencyToItem(second.get());
    link = third->addOutboundDependencyToItem(first);
    ASSERT_TRUE(link);
    link->setColor(QColor::fromRgbF(0, 0.5, 0));
    link->setDashStyle(3);
    DMUIProjectDependencyInspectorController *inspector = inspectLink();
    EXPECT_EQ(inspector->patternPopup()->currentIndex(), 3);
    EXPECT_EQ(inspector->linkKindPopup()->currentIndex(), int(DMProjectDependency::FinishToStart));
    // The line's context menu offers the inspector's titles.
    EXPECT_EQ(inspector->stylePopup()->itemText(4), DMUIProjectDependencyInspectorController::lineStyleTitles().at(4));

    choose(inspector->linkKindPopup(), DMProjectDependency::StartToStart);
    EXPECT_EQ(link->kind(), DMProjectDependency::StartToStart);
    EXPECT_EQ(first->beginDate(), at(2024, 1, 9, 8));
    halcyra::test::finishEventLoopTurn();
    EXPECT_TRUE(document->isDocumentEdited());

    // Only the kind changed, yet the saved style is the link's whole look.
    const std::optional<DMSavedLinkStyle> saved = DMSavedLinkStyle::savedStyle();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->color, QColor::fromRgbF(0, 0.5, 0));
    EXPECT_EQ(saved->dashStyle, 3);
    const QVariantMap stored =
        DMUserDefaults::standardUserDefaults().objectForKey(DMSavedLinkStyle::kDefaultsKey).toMap();
    // The colour in the form of every colour default, and as components for other readers.
    EXPECT_EQ(DMObjectSerialization::decode(stored.value("color")).value<QColor>(), QColor::fromRgbF(0, 0.5, 0));
    EXPECT_EQ(colorWithComponentsDictionary(stored.value("colorDict").toMap()), QColor::fromRgbF(0, 0.5, 0));
    EXPECT_FALSE(stored.contains("kind"));
}

TEST_F(LinkInspectorTest, AKindTheSchedulerRefusesIsNotKept)
{
    // Start to start would move the locked target to its source's start.
    first->removeOutboundDependencyToItem(second.get());
    link = third->addOutboundDependencyToItem(first);
    ASSERT_TRUE(link);
    first->setLocked(true);
    halcyra::test::finishEventLoopTurn();
    DMUIProjectDependencyInspectorController *inspector = inspectLink();
    const int stepsBefore = document->undoManager()->undoStepCount();

    choose(inspector->linkKindPopup(), DMProjectDependency::StartToStart);
    halcyra::test::finishEventLoopTurn();
    EXPECT_EQ(link->kind(), DMProjectDependency::FinishToStart);
    EXPECT_EQ(inspector->linkKindPopup()->currentIndex(), int(DMProjectDependency::FinishToStart));
    EXPECT_EQ(first->beginDate(), at(2024, 1, 2, 8));
    // Whatever the refused change left on the undo stack brings back nothing else.
    while (document->undoManager()->undoStepCount() > stepsBefore)
        document->undoManager()->undo();
    EXPECT_EQ(link->kind(), DMProjectDependency::FinishToStart);
    EXPECT_EQ(first->beginDate(), at(2024, 1, 2, 8));
}

TEST_F(LinkInspectorTest, TheNextLinkDrawnTakesTheChosenStyleAlsoAfterTheDefaultsAreReloaded)
{
    DMUIProjectDependencyInspectorController *inspector = inspectLink();
    inspector->linkColorWell()->setColor(Qt::red);
    emit inspector->linkColorWell()->colorChanged(Qt::red);
    choose(inspector->patternPopup(), 1); // dash
    EXPECT_EQ(link->color(), QColor(Qt::red));

    drawLink(second, third);
    const auto drawn = second->outboundDependencyToItem(third.get());
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->color(), QColor(Qt::red));
    EXPECT_EQ(drawn->dashStyle(), 1);

    // Read back from the file, as at the next launch.
    DMUserDefaults::setStorageFileForTesting(folder.filePath(QStringLiteral("defaults.ini")));
    drawLink(first, third);
    const auto again = first->outboundDependencyToItem(third.get());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->color(), QColor(Qt::red));
    EXPECT_EQ(again->dashStyle(), 1);
}

TEST_F(LinkInspectorTest, ADamagedSavedStyleLeavesNewLinksWithTheModelsLook)
{
    open();
    const auto fresh = std::make_shared<DMProjectDependency>();
    const QVariantMap sound = DMSavedLinkStyle{Qt::red, 2, false, 1, 2}.dictionaryRepresentation();
    ASSERT_TRUE(DMSavedLinkStyle::styleWithDictionary(sound));
    QVariantMap wrongType = sound;
    wrongType.insert("thickness", QStringLiteral("thick"));
    QVariantMap badColor = sound;
    badColor.insert("color", QVariantMap{{"class", "NSColor"}, {"object", QVariantMap{{"r", "red"}}}});
    QVariantMap noColor = sound;
    noColor.remove("color");
    for (const QVariant &damaged : {QVariant(wrongType), QVariant(badColor), QVariant(noColor), QVariant(42)})
        EXPECT_FALSE(DMSavedLinkStyle::styleWithDictionary(damaged)) << damaged.toString().toStdString();

    DMUserDefaults::standardUserDefaults().setObjectForKey(badColor, DMSavedLinkStyle::kDefaultsKey);
    drawLink(second, third);
    const auto drawn = second->outboundDependencyToItem(third.get());
    ASSERT_TRUE(drawn);
    EXPECT_EQ(std::make_tuple(drawn->color(), drawn->linkStyle(), drawn->hasArrow(), drawn->dashStyle(), drawn->thickness()),
              std::make_tuple(fresh->color(), fresh->linkStyle(), fresh->hasArrow(), fresh->dashStyle(), fresh->thickness()));
}
