#include "DMWidgetAdditions.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

TEST(WidgetAdditions, NullStringClearsEveryKindOfControl)
{
    QLineEdit field("old");
    QLabel label("old");
    QPushButton button("old");
    setStringValueIfNotNil(&field, QString());
    setStringValueIfNotNil(&label, QString());
    setStringValueIfNotNil(&button, QString());
    EXPECT_TRUE(field.text().isEmpty());
    EXPECT_TRUE(label.text().isEmpty());
    EXPECT_TRUE(button.text().isEmpty());
    setStringValueIfNotNil(&field, "new");
    EXPECT_EQ(field.text(), "new");
    setStringValueIfNotNil(static_cast<QLabel *>(nullptr), "x");
}

TEST(WidgetAdditions, ContainerScrollViewIsTheNearestEnclosingScrollArea)
{
    QWidget window;
    auto *outer = new QScrollArea(&window);
    auto *content = new QWidget;
    auto *inner = new QScrollArea(content);
    auto *deepContent = new QWidget;
    auto *deepField = new QLineEdit(deepContent);
    auto *field = new QLineEdit(content);
    new QVBoxLayout(content);
    inner->setWidget(deepContent);
    outer->setWidget(content);

    EXPECT_EQ(containerScrollView(field), outer);
    EXPECT_EQ(containerScrollView(deepField), inner);
    EXPECT_EQ(containerScrollView(inner), outer);
    EXPECT_EQ(containerScrollView(outer), nullptr);
    EXPECT_EQ(containerScrollView(&window), nullptr);
    EXPECT_EQ(containerScrollView(nullptr), nullptr);
}

} // namespace
