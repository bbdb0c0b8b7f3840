#include "DMProjectViewObjectEditor.h"

#include <QHash>

const QString DMProjectViewObjectEditor::kTaskInspectorClass = QStringLiteral("DMUIProjectTaskInspectorController");

namespace {

QHash<QString, DMProjectViewObjectEditor *> &standIns()
{
    static QHash<QString, DMProjectViewObjectEditor *> instances;
    return instances;
}

QHash<QString, std::function<DMProjectViewObjectEditor *()>> &makers()
{
    static QHash<QString, std::function<DMProjectViewObjectEditor *()>> functions;
    return functions;
}

QList<DMProjectViewObjectEditor *> &shownList()
{
    static QList<DMProjectViewObjectEditor *> list;
    return list;
}

} // namespace

void DMProjectViewObjectEditor::registerSharedInstanceMaker(const QString &className,
                                                           std::function<DMProjectViewObjectEditor *()> maker)
{
    if (maker)
        makers().insert(className, std::move(maker));
    else
        makers().remove(className);
}

void DMProjectViewObjectEditor::registerSharedInstance(const QString &className, DMProjectViewObjectEditor *editor)
{
    if (editor) {
        standIns().insert(className, editor);
        return;
    }
    if (DMProjectViewObjectEditor *old = standIns().take(className))
        shownList().removeAll(old);
}

DMProjectViewObjectEditor *DMProjectViewObjectEditor::sharedInstance(const QString &className)
{
    if (className.isEmpty())
        return nullptr;
    if (DMProjectViewObjectEditor *standIn = standIns().value(className, nullptr))
        return standIn;
    const auto maker = makers().constFind(className);
    return maker == makers().cend() ? nullptr : (*maker)();
}

const QList<DMProjectViewObjectEditor *> &DMProjectViewObjectEditor::shownEditors()
{
    return shownList();
}

void DMProjectViewObjectEditor::addShownEditor(DMProjectViewObjectEditor *editor)
{
    if (editor && !shownList().contains(editor))
        shownList().append(editor);
}
