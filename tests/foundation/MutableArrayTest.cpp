#include "DMMutableArray.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

using Array = DMMutableArray<QString>;

// Records each notification with the list as the delegate saw it at that moment.
struct Recorder : Array::Delegate
{
    QStringList log;

    static QString describe(const Array::Change &c)
    {
        static const char *kinds[] = {"insert", "remove", "replace", "exchange", "sort"};
        QString text = QString::fromLatin1(kinds[c.kind]) + u' ' + QString::number(c.index);
        if (c.kind == Array::Change::Exchange)
            text += u'/' + QString::number(c.otherIndex);
        if (!c.objects.isEmpty())
            text += u' ' + c.objects.join(u'+');
        if (!c.oldObjects.isEmpty())
            text += QStringLiteral(" was ") + c.oldObjects.join(u'+');
        return text;
    }
    void mutableArrayWillChange(Array &a, const Array::Change &c) override
    {
        log << QStringLiteral("will %1 [%2]").arg(describe(c), a.list().join(u','));
    }
    void mutableArrayDidChange(Array &a, const Array::Change &c) override
    {
        log << QStringLiteral("did %1 [%2]").arg(describe(c), a.list().join(u','));
    }
};

} // namespace

TEST(MutableArray, TellsTheDelegateBeforeAndAfterEveryChange)
{
    Recorder recorder;
    Array array(&recorder);
    array.append("b");
    array.insertObjects(0, {"a", "c"});
    array.replace(2, "x");
    array.exchange(0, 2);
    array.sort([](const QString &l, const QString &r) { return l < r; });
    array.removeRange(1, 2);
    array.removeOne("x");
    EXPECT_EQ(recorder.log, (QStringList{
        "will insert 0 b []",
        "did insert 0 b [b]",
        "will insert 0 a+c [b]",
        "did insert 0 a+c [a,c,b]",
        "will replace 2 x was b [a,c,b]",
        "did replace 2 x was b [a,c,x]",
        "will exchange 0/2 [a,c,x]",
        "did exchange 0/2 [x,c,a]",
        "will sort 0 [x,c,a]",
        "did sort 0 [a,c,x]",
        "will remove 1 c+x [a,c,x]",
        "did remove 1 c+x [a]",
    }));
}

TEST(MutableArray, NoChangeNoNotification)
{
    Recorder recorder;
    Array array(&recorder);
    array.insertObjects(0, {});
    array.removeRange(0, 0);
    array.removeAll(); // already empty
    EXPECT_FALSE(array.removeOne("absent"));
    EXPECT_TRUE(recorder.log.isEmpty());

    array.append("a");
    array.append("b");
    recorder.log.clear();
    array.removeAll();
    EXPECT_EQ(recorder.log, (QStringList{"will remove 0 a+b [a,b]", "did remove 0 a+b []"}));

    array.setDelegate(nullptr); // a cleared delegate is not called
    array.append("c");
    EXPECT_EQ(recorder.log.size(), 2);
    EXPECT_EQ(array.list(), (QStringList{"c"}));
}
