#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <memory>

class DMProject;
class DMProjectTodo;

// The to-do-list package: a folder (".del") holding "project.xml", the to-dos as the to-do-list
// application stores them, and "metadata.xml", its summary. Class operations only.
class DMTodoListPackage
{
public:
    DMTodoListPackage() = delete;

    // A larger "project.xml" is refused before it is read.
    static constexpr qint64 kMaximumProjectFileSize = qint64(32) << 20;

    // exportToFerrix: writes the project's to-dos into the folder (made when missing; an
    // existing folder is reused). Each file is written beside its place and then renamed into
    // it, so a failure leaves no half-written file; a folder made here is removed again. False,
    // with the reason, when a file could not be written.
    static bool writePackage(const DMProject &project, const QString &folderPath, QString *error);
    // The two property lists of the package.
    static QVariantMap projectDictionary(const DMProject &project);
    static QVariantMap metadataDictionary(const DMProject &project);
    // The first three words of a to-do's text, joined by one blank.
    static QString subjectForText(const QString &text);

    // importFromFerrix: the to-dos of the folder's "project.xml", made for the project with fresh
    // object IDs and not yet in its list. False, with the reason and nothing made, when the file
    // does not read as a property-list dictionary or holds entries of the wrong types. A
    // dictionary without to-dos gives none. "project.xml" is read as DMRegularFile reads a file the
    // user picked.
    static bool readTodos(const QString &folderPath, const std::shared_ptr<DMProject> &project,
                          QList<std::shared_ptr<DMProjectTodo>> *todos, QString *error);
    static bool readTodosFromData(const QByteArray &projectXML, const std::shared_ptr<DMProject> &project,
                                  QList<std::shared_ptr<DMProjectTodo>> *todos, QString *error);
};
