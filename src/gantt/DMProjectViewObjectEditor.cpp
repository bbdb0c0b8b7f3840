#include "DMProjectViewObjectEditor.h"

#include <QHash>

namespace {

QHash<QString, DMProjectViewObjectEditor *> &sharedInstances()
{
    static QHash<QString, DMProjectViewObjectEditor *> instances;
    return instances;
}

QList<DMProjectViewObjectEditor *> &shownList()
{
    static QList<DMProjectViewObjectEditor *> list;
    return list;
}

} // namespace

void DMProjectViewObjectEditor::registerSharedInstance(const QString &className, DMProjectViewObjectEditor *editor)
{
    if (editor) {
        sharedInstances().insert(className, editor);
        return;
    }
    if (DMProjectViewObjectEditor *old = sharedInstances().take(className))
        shownList().removeAll(old);
}

DMProjectViewObjectEditor *DMProjectViewObjectEditor::sharedInstance(const QString &className)
{
    if (className.isEmpty())
        return nullptr;
    return sharedInstances().value(className, nullptr);
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
