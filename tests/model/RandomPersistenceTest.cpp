// Random projects of every kind of object, dated anywhere from year 1 to 9999, saved through
// every route and reopened: every stored value comes back exactly, and nothing is mended.
#include "DMEncryptionContext.h"
#include "DMProjectCoder.h"
#include "DMPropertyList.h"
#include "DMPropertyListNode.h"
#include "ModelTestSupport.h"

#include <functional>
#include <random>

using namespace halcyra::test;

namespace {

class RandomProjectMaker
{
public:
    explicit RandomProjectMaker(unsigned seed) : m_random(seed) {}

    std::shared_ptr<DMProject> make()
    {
        m_project = DMProject::create();
        DMProject &p = *m_project;
        p.setTitle(QStringLiteral("plan %1").arg(m_random()));
        p.setBeginDate(someDate());
        if (chance(70))
            p.setEndDate(someDate());
        const int begin = 60 * int(pick(11));
        const int end = chance(20) ? 1440 : begin + 60 * int(1 + pick(13));
        p.setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, begin}, {kDMTimeSpanEnd, end}});
        DMMutableIndexSet_64 weekDays;
        for (int day = 0; day < 7; ++day)
            if (chance(day == 0 || day == 6 ? 80 : 5))
                weekDays.addIndex(day);
        p.setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariant::fromValue(DMIndexSet_64(weekDays)));
        QVariantList daysOff{QVariantMap{{kDMDayOffIndex, DMProject_NonWorkingDayIndexForMonthDay(12, 25)}}};
        for (int i = int(pick(4)); i > 0; --i) {
            const DMDate first = someDate();
            const DMDate last = first.dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 0, int(pick(20)), 0, 0, 0);
            daysOff.append(QVariantMap{
                {kDMDayOffIndex, DMProject_NonWorkingDayIndexForYearMonthDay(first.year(), first.month(), first.day())},
                {kDMDayOffEndIndex, DMProject_NonWorkingDayIndexForYearMonthDay(last.year(), last.month(), last.day())}});
        }
        p.setAttribute(kDMProject_Settings_DaysOff, daysOff);
        p.setAttribute(kDMProject_Settings_Budget, double(pick(100000)) / 4);
        p.setAttribute(kDMProject_Settings_CurrencyUnit, QStringLiteral("EUR"));
        const auto [shownFrom, shownTo] = someSpan();
        p.setAttribute(kDMProject_TimelineViewTimeSpan, QVariantMap{{kDMTimeSpanBegin, QVariant::fromValue(shownFrom)},
                                                                    {kDMTimeSpanEnd, QVariant::fromValue(shownTo)}});
        p.setAttribute(kDMProject_AttachedDocumentsTable,
                       QVariantMap{{QStringLiteral("doc1"), QVariantMap{{kDMProject_AttachedDocument_Path, QStringLiteral("Documents/plan.pdf")},
                                                                        {kDMProject_AttachedDocument_PendingAttachment, false}}}});
        p.setAttribute(kDMProject_AttachedDocuments, QVariantList{QStringLiteral("doc1")});

        for (int i = 20 + int(pick(30)); i > 0; --i)
            addItem();
        makeResources();
        for (int i = int(pick(40)); i > 0; --i)
            addLink();
        for (int i = int(pick(6)); i > 0; --i) {
            auto event = std::make_shared<DMProjectEvent>();
            event->setProject(m_project);
            event->setTitle(QStringLiteral("event %1").arg(i));
            const auto [from, to] = someSpan();
            event->setBeginDateAndEndDate(from, to);
            p.eventContainer()->events().append(event);
        }
        for (int i = int(pick(6)); i > 0; --i) {
            auto todo = std::make_shared<DMProjectTodo>(chance(20) ? kDMProjectTodo_Kind_Separator : kDMProjectTodo_Kind_Todo);
            todo->setProject(m_project);
            todo->setText(QStringLiteral("to do %1").arg(i));
            todo->setDate(someDate());
            todo->setDone(chance(50));
            todo->setNoDueDate(chance(20));
            if (todo->kind() == kDMProjectTodo_Kind_Separator)
                todo->setAttribute(kDMProjectTodo_Collapsed, chance(50));
            p.todoContainer()->todos().append(todo);
        }
        return m_project;
    }

private:
    size_t pick(size_t count) { return size_t(m_random() % count); }
    bool chance(int percent) { return int(m_random() % 100) < percent; }

    // Mostly anywhere in years 1 to 9998, sometimes near today, on a quarter hour or any second.
    DMDate someDate()
    {
        const int year = chance(20) ? 2020 + int(pick(10)) : 1 + int(pick(9998));
        const int second = chance(50) ? 900 * int(pick(96)) : int(pick(86400));
        return DMDate(year, 1 + int(pick(12)), 1 + int(pick(28)), second);
    }
    std::pair<DMDate, DMDate> someSpan()
    {
        const DMDate begin = someDate();
        return {begin, begin.dateByAddingSeconds(60 + qint64(pick(90 * 86400)))};
    }

    void addItem()
    {
        std::shared_ptr<DMProjectItem> item;
        switch (pick(5)) {
        case 0: item = std::make_shared<DMProjectMilestone>(); break;
        case 1: item = std::make_shared<DMProjectProcess>(); break;
        case 2: item = std::make_shared<DMProjectItemGroup>(); break;
        case 3: item = std::make_shared<DMProjectItem>(); break;
        default: item = std::make_shared<DMProjectTask>(); break;
        }
        item->setProject(m_project);
        item->setTitle(QStringLiteral("item %1").arg(m_items.size()));
        item->setUseWorkingSchedule(chance(80));
        const auto [begin, end] = someSpan();
        item->setBeginDateAndEndDate(begin, item->hasEqualDates() ? begin : end);
        if (chance(40))
            item->setProgress(float(pick(101)) / 100.0f);
        if (chance(20))
            item->setLocked(true);
        if (chance(30))
            item->setFillColor(QColor::fromRgb(int(m_random() % 0xffffff)));
        if (chance(40))
            item->setAttribute(kDMProjectItem_Notes, QStringLiteral("note %1").arg(m_random()));
        if (chance(30)) {
            item->setAttribute(kDMProjectItem_CostKind, int(pick(3)));
            item->setAttribute(kDMProjectItem_Cost, double(pick(1000)) / 8);
        }
        if (chance(20))
            item->setAttribute(kDMProjectItem_ExpandToFitSubitems, true);
        if (chance(10))
            item->setAttribute(kDMProjectItem_AttachedDocuments, QVariantList{QStringLiteral("doc1")});
        QList<std::shared_ptr<DMProjectItem>> parents;
        for (const auto &candidate : m_items)
            if (candidate->kind() == kDMProjectItem_Kind_Process || candidate->kind() == kDMProjectItem_Kind_ItemGroup)
                parents.append(candidate);
        if (!parents.isEmpty() && chance(50))
            parents.at(qsizetype(pick(size_t(parents.size()))))->subitems().append(item);
        else
            m_project->tasks().append(item);
        m_items.append(item);
    }

    void makeResources()
    {
        QList<std::shared_ptr<DMProjectResource>> people;
        for (int i = 1 + int(pick(6)); i > 0; --i) {
            const bool group = chance(25);
            auto resource = std::make_shared<DMProjectResource>(group ? DMProjectResource::Group : DMProjectResource::Resource);
            resource->setProject(m_project);
            resource->setName(QStringLiteral("resource %1").arg(i));
            resource->setAttribute(kDMProjectResource_HourlyCost, double(pick(200)));
            resource->setAttribute(kDMProjectResource_CostKind, int(pick(3)));
            m_project->resources().append(resource);
            if (group) {
                auto member = std::make_shared<DMProjectResource>();
                member->setProject(m_project);
                member->setName(QStringLiteral("member %1").arg(i));
                resource->subitems().append(member);
                people.append(member);
            } else {
                people.append(resource);
            }
        }
        for (const auto &item : m_items)
            if (auto task = std::dynamic_pointer_cast<DMProjectTask>(item); task && chance(50))
                task->addResource(people.at(qsizetype(pick(size_t(people.size())))));
    }

    void addLink()
    {
        const auto from = m_items.at(qsizetype(pick(size_t(m_items.size()))));
        const auto to = m_items.at(qsizetype(pick(size_t(m_items.size()))));
        if (from == to || from->isChildOfItem(to.get()) || to->isChildOfItem(from.get()))
            return;
        if (const auto link = from->addOutboundDependencyToItem(to)) {
            link->setKind(int(pick(4)));
            if (chance(30)) {
                link->setColor(QColor::fromRgb(int(m_random() % 0xffffff)));
                link->setLinkStyle(int(pick(5)));
                link->setDashStyle(int(pick(4)));
                link->setThickness(int(pick(3)));
                link->setHasArrow(chance(50));
            }
        }
    }

    std::mt19937 m_random;
    std::shared_ptr<DMProject> m_project;
    QList<std::shared_ptr<DMProjectItem>> m_items;
};

// The ways a project is stored and read back: as the document package writes "project.xml"
// (compact, and encrypted when the project has a password), as readable XML, as the binary
// property list of the pasteboard, and as the dictionary itself.
struct Route
{
    const char *name;
    std::function<std::shared_ptr<DMProject>(const QVariantMap &, QStringList *)> reopen;
};

std::shared_ptr<DMProject> parsed(const QByteArray &data, QStringList *problems)
{
    QString error;
    const DMPropertyListNode root = DMPropertyListNode::parse(data, &error);
    EXPECT_TRUE(root.isDictionary()) << error.toStdString();
    return DMProjectCoder::loadProject(root, problems);
}

QByteArray written(const QVariantMap &dictionary, DMPropertyList::Format format)
{
    QString error;
    const QByteArray data = DMPropertyList::dataWithPropertyList(dictionary, format, &error);
    EXPECT_FALSE(data.isEmpty()) << error.toStdString();
    return data;
}

const std::vector<Route> &routes()
{
    static const std::vector<Route> all = {
        {"dictionary", [](const QVariantMap &d, QStringList *problems) { return DMProjectCoder::loadProject(d, problems); }},
        {"compact XML", [](const QVariantMap &d, QStringList *problems) { return parsed(written(d, DMPropertyList::CompactXML), problems); }},
        {"XML", [](const QVariantMap &d, QStringList *problems) { return parsed(written(d, DMPropertyList::XML), problems); }},
        {"binary", [](const QVariantMap &d, QStringList *problems) {
             const QVariant read = DMPropertyList::propertyListWithData(written(d, DMPropertyList::Binary));
             return DMProjectCoder::loadProject(read.toMap(), problems);
         }},
        {"encrypted", [](const QVariantMap &d, QStringList *problems) {
             const DMEncryptionContext context(QStringLiteral("s3cret"));
             const auto encrypted = context.encryptData(written(d, DMPropertyList::CompactXML));
             EXPECT_TRUE(encrypted.has_value());
             const auto decrypted = context.decryptData(encrypted.value_or(QByteArray()));
             EXPECT_TRUE(decrypted.has_value());
             return parsed(decrypted.value_or(QByteArray()), problems);
         }},
    };
    return all;
}

} // namespace

TEST(RandomPersistence, ProjectsDatedFromYearOneTo9999ReopenExactlyThroughEveryRoute)
{
    for (unsigned seed = 1; seed <= 50; ++seed) {
        SCOPED_TRACE(seed);
        const std::shared_ptr<DMProject> project = RandomProjectMaker(seed).make();
        const QVariantMap saved = project->dictionaryRepresentation();
        for (const Route &route : routes()) {
            SCOPED_TRACE(route.name);
            QStringList problems;
            const std::shared_ptr<DMProject> reopened = route.reopen(saved, &problems);
            ASSERT_TRUE(reopened);
            EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
            expectSameProject(*project, *reopened);
            ASSERT_EQ(firstDifference(reopened->dictionaryRepresentation(), saved), "");
        }
    }
}
