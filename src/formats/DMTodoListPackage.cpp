#include "DMTodoListPackage.h"

#include "DMLocalizedString.h"
#include "DMObjectSerialization.h"
#include "DMProject.h"
#include "DMProjectKeys.h"
#include "DMProjectTodo.h"
#include "DMProjectTodoContainer.h"
#include "DMPropertyList.h"
#include "DMRegularFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString kProjectFile = QStringLiteral("project.xml");
const QString kMetadataFile = QStringLiteral("metadata.xml");

struct TodoCounts
{
    qsizetype count = 0;
    qsizetype done = 0;
    quint64 largestObjectID = 0;
    // Done to-dos over all to-dos; 0 for a list without any.
    float progress() const { return count > 0 ? float(done) / float(count) : 0.0f; }
};

TodoCounts countTodos(const DMProject &project)
{
    TodoCounts counts;
    for (const auto &todo : project.todoContainer()->todos()) {
        ++counts.count;
        counts.done += todo->done() ? 1 : 0;
        counts.largestObjectID = qMax(counts.largestObjectID, todo->objectID());
    }
    return counts;
}

} // namespace

QString DMTodoListPackage::subjectForText(const QString &text)
{
    static const QRegularExpression whiteSpace(QStringLiteral("\\s+"));
    const QStringList words = text.split(whiteSpace, Qt::SkipEmptyParts);
    return words.mid(0, 3).join(QLatin1Char(' '));
}

QVariantMap DMTodoListPackage::projectDictionary(const DMProject &project)
{
    QVariantList todos;
    for (const auto &todo : project.todoContainer()->todos()) {
        QVariantMap representation = todo->dictionaryRepresentation();
        // The subject goes into the serialized attributes, as a serialized value of its own.
        QVariantMap attributes = representation.value(QStringLiteral("attributes")).toMap();
        if (attributes.isEmpty())
            attributes = DMObjectSerialization::encode(QVariantMap()).toMap();
        QVariantMap values = attributes.value(QStringLiteral("object")).toMap();
        values.insert(kDMProjectTodo_Subject, DMObjectSerialization::encode(subjectForText(todo->text())));
        attributes.insert(QStringLiteral("object"), values);
        representation.insert(QStringLiteral("attributes"), attributes);
        todos.append(representation);
    }
    const TodoCounts counts = countTodos(project);
    return {
        {QStringLiteral("attributes"),
         DMObjectSerialization::encode(QVariantMap{{QStringLiteral("kDMQuilletProject_Progress"), double(counts.progress())}})},
        {QStringLiteral("lastObjectID"), qint64(counts.largestObjectID)},
        {QStringLiteral("title"), project.title()},
        {QStringLiteral("todoContainer"),
         QVariantMap{{QStringLiteral("todos"), todos}, {QStringLiteral("createDoneCategory"), true}, {QStringLiteral("sortingMode"), 0}}},
    };
}

QVariantMap DMTodoListPackage::metadataDictionary(const DMProject &project)
{
    const TodoCounts counts = countTodos(project);
    return {
        {QStringLiteral("MacGenerated"), true},
        {QStringLiteral("iPadCompatible"), true},
        {QStringLiteral("progress"), double(counts.progress())},
        {QStringLiteral("title"), project.title()},
        {QStringLiteral("todoCount"), qint64(counts.count)},
    };
}

bool DMTodoListPackage::writePackage(const DMProject &project, const QString &folderPath, QString *error)
{
    const QFileInfo folder(folderPath);
    const bool existed = folder.exists();
    if (existed && !folder.isDir()) {
        *error = DMLocalizedString("\"%1\" is a file, not a folder.").arg(folder.fileName());
        return false;
    }
    if (!existed && !QDir().mkpath(folderPath)) {
        *error = DMLocalizedString("The folder \"%1\" could not be made.").arg(folderPath);
        return false;
    }
    const QDir dir(folderPath);
    QString reason;
    if (DMPropertyList::writePropertyListToFile(projectDictionary(project), dir.filePath(kProjectFile), DMPropertyList::XML, &reason)
        && DMPropertyList::writePropertyListToFile(metadataDictionary(project), dir.filePath(kMetadataFile), DMPropertyList::XML, &reason))
        return true;
    if (!existed)
        QDir(folderPath).removeRecursively();
    *error = reason;
    return false;
}

bool DMTodoListPackage::readTodos(const QString &folderPath, const std::shared_ptr<DMProject> &project,
                                  QList<std::shared_ptr<DMProjectTodo>> *todos, QString *error)
{
    const std::optional<QByteArray> data = DMRegularFile::read(QDir(folderPath).filePath(kProjectFile),
                                                               kMaximumProjectFileSize, DMRegularFile::FollowLinks, error);
    return data && readTodosFromData(*data, project, todos, error);
}

bool DMTodoListPackage::readTodosFromData(const QByteArray &projectXML, const std::shared_ptr<DMProject> &project,
                                          QList<std::shared_ptr<DMProjectTodo>> *todos, QString *error)
{
    todos->clear();
    QString reason;
    const QVariant plist = DMPropertyList::propertyListWithData(projectXML, &reason);
    if (plist.metaType() != QMetaType::fromType<QVariantMap>()) {
        *error = reason.isEmpty() ? DMLocalizedString("\"%1\" is not a dictionary.").arg(kProjectFile) : reason;
        return false;
    }
    const QVariantMap root = plist.toMap();
    const QVariant container = root.value(QStringLiteral("todoContainer"));
    if (!container.isValid())
        return true;
    if (container.metaType() != QMetaType::fromType<QVariantMap>()) {
        *error = DMLocalizedString("The to-do list is not a dictionary.");
        return false;
    }
    const QVariant list = container.toMap().value(QStringLiteral("todos"));
    if (!list.isValid())
        return true;
    if (list.metaType() != QMetaType::fromType<QVariantList>()) {
        *error = DMLocalizedString("The to-dos are not a list.");
        return false;
    }
    const QVariantList entries = list.toList();
    QList<std::shared_ptr<DMProjectTodo>> made;
    made.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QVariant &entry = entries.at(i);
        QVariantMap dictionary = entry.toMap();
        // The package's IDs belong to another list: each to-do draws a new one from the project.
        dictionary.remove(QStringLiteral("objectID"));
        auto todo = std::make_shared<DMProjectTodo>();
        if (entry.metaType() != QMetaType::fromType<QVariantMap>() || !todo->loadDictionaryRepresentationProject(dictionary, project)) {
            *error = DMLocalizedString("To-do %1 of %2 is not a to-do.").arg(i + 1).arg(entries.size());
            return false;
        }
        made.append(todo);
    }
    *todos = made;
    return true;
}
