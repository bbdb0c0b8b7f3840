#include "DMItemsViewTodoItem.h"

#include "DMCollectionView.h"
#include "DMLocalizedString.h"
#include "DMProjectKeys.h"
#include "DMProjectTodo.h"
#include "DMProjectTodoEditorController.h"

#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>


DMItemsViewTodoItem::DMItemsViewTodoItem(DMItemsViewDocument &document, DMCollectionView *collectionView)
    : DMItemsViewItem(document, collectionView)
{
    view()->resize(cardSize());
    todoView = new QWidget(view());
    todoView->setGeometry(QRect(QPoint(), cardSize()));
    todoView->setAttribute(Qt::WA_TransparentForMouseEvents);
    textField = addLabel({10, 6, 300, 20}, 12, true);
    dateField = addLabel({10, 30, 120, 16});
    hourOfDayField = addLabel({130, 30, 100, 16});
    doneField = addLabel({230, 30, 80, 16}, 11, true, Qt::AlignRight);
    doneField->setText(QStringLiteral("\u2713 ") + DMLocalizedString("Done"));
    for (QLabel *field : {textField, dateField, hourOfDayField, doneField})
        field->setParent(todoView);

    addSeparatorView(separatorView, separatorDisclosureButton, separatorNameField);
    connect(separatorDisclosureButton, &QToolButton::clicked, this, &DMItemsViewTodoItem::separatorToggleCollapse);
}

QStringList DMItemsViewTodoItem::observedKeyPaths() const
{
    const QString a = QStringLiteral("attributes.");
    return {a + kDMProjectTodo_Text, a + kDMProjectTodo_Collapsed, DMProjectKey::date, DMProjectKey::noDueDate,
            DMProjectKey::done};
}

void DMItemsViewTodoItem::updateUI()
{
    auto *todo = dynamic_cast<DMProjectTodo *>(representedObject().object.get());
    if (!todo)
        return;
    if (todo->isSeparator()) {
        todoView->hide();
        separatorView->show();
        showSeparator(separatorDisclosureButton, separatorNameField, todo->text(),
                      !todo->attribute(kDMProjectTodo_Collapsed).toBool());
        return;
    }
    if (!todo->project())
        return;
    separatorView->hide();
    todoView->show();
    // A done to-do is struck through, dimmed and marked.
    QFont font = textField->font();
    font.setStrikeOut(todo->done());
    textField->setFont(font);
    textField->setForegroundRole(todo->done() ? QPalette::PlaceholderText : QPalette::WindowText);
    doneField->setVisible(todo->done());
    setTitleText(textField, todo->text());
    if (todo->noDueDate()) {
        dateField->clear();
        hourOfDayField->clear();
        return;
    }
    setDateFields(dateField, hourOfDayField, todo->date());
    // A due date given as a day alone (midnight) has no time of day to show.
    if (todo->date().secondOfDay() == 0)
        hourOfDayField->clear();
}

void DMItemsViewTodoItem::separatorToggleCollapse()
{
    auto *todo = dynamic_cast<DMProjectTodo *>(representedObject().object.get());
    if (todo && todo->isSeparator())
        todo->setAttribute(kDMProjectTodo_Collapsed, !todo->attribute(kDMProjectTodo_Collapsed).toBool());
}

void DMItemsViewTodoItem::openInspectorAtPoint(QPointF point, QWidget *inView, EditorKeyboard keyboard)
{
    auto todo = std::dynamic_pointer_cast<DMProjectTodo>(representedObject().object);
    if (!todo || todo->isSeparator())
        return;
    DMProjectTodoEditorController *editor = DMProjectTodoEditorController::sharedInstance();
    editor->setEditedObject(todo);
    if (keyboard == EditorKeyboard::Leave)
        editor->showAtPointInViewLeavingKeyboard(point, inView);
    else
        editor->showAtPointInView(point, inView);
}

void DMItemsViewTodoItem::viewMouseDown(DMItemBackgroundView *, QMouseEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick)
        openInspectorAtPoint(event->position(), view());
}

void DMItemsViewTodoItem::editRepresentedObject(EditorKeyboard keyboard)
{
    if (m_collectionView)
        openInspectorAtPoint(QRectF(view()->geometry()).center(), m_collectionView->viewport(), keyboard);
}
