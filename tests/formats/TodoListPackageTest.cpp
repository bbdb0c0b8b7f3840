// The to-do-list package: its two property lists, the round trip with fresh object IDs, and
// packages that must not import.
#include "../model/ModelTestSupport.h"

#include "DMPropertyList.h"
#include "DMTodoListPackage.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

using namespace halcyra::test;

namespace {

std::shared_ptr<DMProjectTodo> addTodo(const std::shared_ptr<DMProject> &project, const QString &text, bool done,
                                      const DMDate &date = DMDate(), std::uint32_t kind = kDMProjectTodo_Kind_Todo)
{
    auto todo = std::make_shared<DMProjectTodo>(kind);
    todo->setProject(project);
    todo->setText(text);
    todo->setDone(done);
    if (date.isNull())
        todo->setNoDueDate(true);
    else
        todo->setDate(date);
    project->todoContainer()->todos().append(todo);
    return todo;
}

QVariantMap readPlist(const QString &path)
{
    return DMPropertyList::propertyListWithContentsOfFile(path).toMap();
}

bool readTodos(const QByteArray &xml, QList<std::shared_ptr<DMProjectTodo>> *todos, QString *error)
{
    return DMTodoListPackage::readTodosFromData(xml, DMProject::create(), todos, error);
}

QByteArray plist(const QVariant &value)
{
    return DMPropertyList::dataWithPropertyList(value);
}

} // namespace

TEST(TodoListPackage, SubjectIsTheFirstThreeWords)
{
    EXPECT_EQ(DMTodoListPackage::subjectForText(QStringLiteral("Call the crane company today")), QStringLiteral("Call the crane"));
    EXPECT_EQ(DMTodoListPackage::subjectForText(QStringLiteral("  Order\n\tbolts ")), QStringLiteral("Order bolts"));
    EXPECT_EQ(DMTodoListPackage::subjectForText(QString()), QString());
}

TEST(TodoListPackage, WritesBothPropertyLists)
{
    auto project = DMProject::create();
    project->setTitle(QStringLiteral("Harbour"));
    QTemporaryDir folder;
    const QString empty = folder.filePath(QStringLiteral("nested/Empty.del"));
    QString error;
    ASSERT_TRUE(DMTodoListPackage::writePackage(*project, empty, &error)) << error.toStdString();
    EXPECT_EQ(readPlist(empty + QStringLiteral("/metadata.xml")).value(QStringLiteral("todoCount")).toInt(), 0);
    EXPECT_EQ(readPlist(empty + QStringLiteral("/metadata.xml")).value(QStringLiteral("progress")).toDouble(), 0.0);
    EXPECT_EQ(readPlist(empty + QStringLiteral("/project.xml")).value(QStringLiteral("lastObjectID")).toLongLong(), 0);

    addTodo(project, QStringLiteral("Call the crane company"), true);
    auto last = addTodo(project, QStringLiteral("Order bolts"), false, at(2024, 3, 4, 9));
    const QString path = folder.filePath(QStringLiteral("Harbour.del"));
    ASSERT_TRUE(DMTodoListPackage::writePackage(*project, path, &error));
    const QVariantMap metadata = readPlist(path + QStringLiteral("/metadata.xml"));
    EXPECT_EQ(metadata.value(QStringLiteral("todoCount")).toInt(), 2);
    EXPECT_FLOAT_EQ(metadata.value(QStringLiteral("progress")).toFloat(), 0.5f);
    EXPECT_EQ(metadata.value(QStringLiteral("title")).toString(), QStringLiteral("Harbour"));
    const QVariantMap main = readPlist(path + QStringLiteral("/project.xml"));
    EXPECT_EQ(quint64(main.value(QStringLiteral("lastObjectID")).toLongLong()), last->objectID());
    const QVariantList todos = main.value(QStringLiteral("todoContainer")).toMap().value(QStringLiteral("todos")).toList();
    ASSERT_EQ(todos.size(), 2);
    const QVariantMap attributes = todos[0].toMap().value(QStringLiteral("attributes")).toMap().value(QStringLiteral("object")).toMap();
    EXPECT_EQ(attributes.value(kDMProjectTodo_Subject), (QVariantMap{{QStringLiteral("class"), QStringLiteral("string")},
                                                                     {QStringLiteral("object"), QStringLiteral("Call the crane")}}));
    EXPECT_EQ(main.value(QStringLiteral("attributes")).toMap().value(QStringLiteral("object")).toMap()
                  .value(QStringLiteral("kDMQuilletProject_Progress")).toMap().value(QStringLiteral("object")).toFloat(),
              0.5f);
}

TEST(TodoListPackage, RoundTripGivesFreshObjectIDs)
{
    auto source = DMProject::create();
    addTodo(source, QStringLiteral("Call \"the\" crane, \u00fc"), true, at(2024, 3, 4, 9));
    addTodo(source, QStringLiteral("Permits"), false, DMDate(), kDMProjectTodo_Kind_Separator);
    addTodo(source, QStringLiteral("Order\nbolts"), false);
    QTemporaryDir folder;
    QString error;
    ASSERT_TRUE(DMTodoListPackage::writePackage(*source, folder.filePath(QStringLiteral("a.del")), &error));

    auto target = DMProject::create();
    addTodo(target, QStringLiteral("Existing"), false);
    QList<std::shared_ptr<DMProjectTodo>> todos;
    ASSERT_TRUE(DMTodoListPackage::readTodos(folder.filePath(QStringLiteral("a.del")), target, &todos, &error)) << error.toStdString();
    ASSERT_EQ(todos.size(), 3);
    QSet<quint64> ids{target->todoContainer()->todos().at(0)->objectID()};
    for (int i = 0; i < 3; ++i) {
        const auto &original = source->todoContainer()->todos().at(i);
        EXPECT_EQ(todos[i]->text(), original->text());
        EXPECT_EQ(todos[i]->kind(), original->kind());
        EXPECT_EQ(todos[i]->done(), original->done());
        EXPECT_EQ(todos[i]->noDueDate(), original->noDueDate());
        if (!original->noDueDate()) {
            EXPECT_EQ(todos[i]->date(), original->date());
        }
        EXPECT_EQ(todos[i]->project(), target);
        EXPECT_FALSE(ids.contains(todos[i]->objectID())) << "an ID of its own";
        ids.insert(todos[i]->objectID());
    }
    EXPECT_EQ(target->todoContainer()->todos().size(), 1) << "the caller appends them";
}

TEST(TodoListPackage, PackagesOfTheWrongShapeImportNothing)
{
    const QVariantMap todo{{QStringLiteral("class"), QStringLiteral("DMProjectTodo")}, {QStringLiteral("kind"), 0x546F646F}};
    const auto withTodos = [](const QVariant &todos) {
        return plist(QVariantMap{{QStringLiteral("todoContainer"), QVariantMap{{QStringLiteral("todos"), todos}}}});
    };
    const struct
    {
        const char *name;
        QByteArray xml;
    } bad[] = {
        {"not_a_property_list", QByteArray("garbage")},
        {"truncated", withTodos(QVariantList{todo}).left(60)},
        {"an_array_at_the_top", plist(QVariantList{todo})},
        {"container_is_a_string", plist(QVariantMap{{QStringLiteral("todoContainer"), QStringLiteral("x")}})},
        {"todos_is_a_dictionary", withTodos(QVariantMap{{QStringLiteral("a"), todo}})},
        {"an_entry_is_a_number", withTodos(QVariantList{todo, 7})},
        {"an_entry_of_another_class", withTodos(QVariantList{QVariantMap{{QStringLiteral("class"), QStringLiteral("DMProjectTask")}}})},
    };
    for (const auto &c : bad) {
        SCOPED_TRACE(c.name);
        QList<std::shared_ptr<DMProjectTodo>> todos;
        QString error;
        EXPECT_FALSE(readTodos(c.xml, &todos, &error));
        EXPECT_TRUE(todos.isEmpty());
        EXPECT_FALSE(error.isEmpty());
    }
    // A dictionary without to-dos is a package with none.
    QList<std::shared_ptr<DMProjectTodo>> todos;
    QString error;
    EXPECT_TRUE(readTodos(plist(QVariantMap{{QStringLiteral("title"), QStringLiteral("x")}}), &todos, &error));
    EXPECT_TRUE(todos.isEmpty());
    EXPECT_TRUE(readTodos(withTodos(QVariantList{todo}), &todos, &error));
    EXPECT_EQ(todos.size(), 1);
}

TEST(TodoListPackage, ReadOnlyFolderReportsAndLeavesNothing)
{
    QTemporaryDir folder;
    auto project = DMProject::create();
    addTodo(project, QStringLiteral("One"), false);
    QDir(folder.path()).mkdir(QStringLiteral("locked"));
    const QString readOnly = unwritableFolder(folder.filePath(QStringLiteral("locked")));
    const QStringList before = QDir(readOnly).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
    QString error;
    EXPECT_FALSE(DMTodoListPackage::writePackage(*project, readOnly + QStringLiteral("/x.del"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QDir(readOnly).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), before);
    // A plain file in the way is no package folder.
    const QString file = folder.filePath(QStringLiteral("file.del"));
    QFile(file).open(QIODevice::WriteOnly);
    EXPECT_FALSE(DMTodoListPackage::writePackage(*project, file, &error));
    QFile::setPermissions(folder.filePath(QStringLiteral("locked")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
