// The small services: beep, images by name, and the modal seam.
#include "DMBeep.h"
#include "DMImageLibrary.h"
#include "DMModalUI.h"

#include "TestSupport.h"

#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

TEST(DMBeep, HookReplacesTheSoundAndEveryBeepIsCounted)
{
    int heard = 0;
    DMBeep_setHook([&] { ++heard; });
    const int before = DMBeep_count();
    DMBeep();
    DMBeep();
    DMBeep_setHook({});
    EXPECT_EQ(heard, 2);
    EXPECT_EQ(DMBeep_count() - before, 2);
}

TEST(DMImageLibrary, GeneratorsAreCalledOnceAndMayBeReplaced)
{
    int made = 0;
    DMImageLibrary::registerGenerator(QStringLiteral("TestSwatch"), [&] {
        ++made;
        QImage image(4, 3, QImage::Format_ARGB32);
        image.fill(Qt::red);
        return image;
    });
    EXPECT_EQ(DMImageLibrary::imageNamed(QStringLiteral("TestSwatch")).size(), QSize(4, 3));
    EXPECT_EQ(DMImageLibrary::imageNamed(QStringLiteral("TestSwatch")).pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(made, 1);

    DMImageLibrary::registerGenerator(QStringLiteral("TestSwatch"), [] { return QImage(8, 8, QImage::Format_ARGB32); });
    EXPECT_EQ(DMImageLibrary::imageNamed(QStringLiteral("TestSwatch")).size(), QSize(8, 8));
    DMImageLibrary::registerGenerator(QStringLiteral("TestSwatch"), {});
    EXPECT_TRUE(DMImageLibrary::imageNamed(QStringLiteral("TestSwatch")).isNull());
    EXPECT_TRUE(DMImageLibrary::imageNamed(QStringLiteral("NoSuchImage")).isNull());
}

TEST(DMImageLibrary, SVGIsDrawnAtItsOwnSize)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mark.svg"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="10">)"
               R"(<rect x="0" y="0" width="10" height="10" fill="#0000ff"/></svg>)");
    file.close();
    const QImage image = DMImageLibrary::imageWithContentsOfFile(path);
    ASSERT_EQ(image.size(), QSize(20, 10));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(15, 5).alpha(), 0);
    EXPECT_TRUE(DMImageLibrary::imageWithContentsOfFile(dir.filePath(QStringLiteral("none.svg"))).isNull());
}

TEST(DMModalUI, TestsReplaceTheImplementation)
{
    struct Answering : DMModalUI
    {
        QString asked;
        int runAlert(const Alert &alert, QWidget *) override
        {
            asked = alert.messageText;
            return AlternateReturn;
        }
    } answering;
    DMModalUI::setInstance(&answering);
    EXPECT_EQ(DMModalUI::instance().runAlert({QStringLiteral("Save changes?"), {}, {}, DMModalUI::Warning}),
              DMModalUI::AlternateReturn);
    EXPECT_EQ(answering.asked, QStringLiteral("Save changes?"));
    DMModalUI::setInstance(nullptr);
    EXPECT_NE(&DMModalUI::instance(), &answering);
}

TEST(DMModalUI, SheetIsWindowModalAndAnswersThroughItsCompletion)
{
    QWidget window;
    window.resize(300, 200);
    window.show();
    std::vector<int> answers;
    const DMModalUI::Alert alert{QStringLiteral("Delete the task?"), QStringLiteral("It has subtasks."),
                                 {QStringLiteral("Delete"), QStringLiteral("Cancel"), QStringLiteral("Keep Subtasks")},
                                 DMModalUI::Warning};
    for (const QString &choice : alert.buttons) {
        DMModalUI::instance().beginSheet(alert, &window, [&](int code) { answers.push_back(code); });
        auto *box = window.findChild<QMessageBox *>();
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->windowModality(), Qt::WindowModal);
        EXPECT_EQ(box->text(), alert.messageText);
        for (QAbstractButton *button : box->buttons())
            if (button->text() == choice)
                QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_TRUE(halcyra::test::waitFor([&] { return window.findChild<QMessageBox *>() == nullptr; }));
    }
    EXPECT_EQ(answers, (std::vector<int>{DMModalUI::DefaultReturn, DMModalUI::AlternateReturn, DMModalUI::OtherReturn}));
}
