#pragma once

#include "DMItemsViewItem.h"

class QToolButton;

// The card of a to-do (its text, due date and the hour when the date has a time of day; a done
// to-do struck through and marked) or of a to-do category separator (its name and a disclosure
// button that collapses the category). It follows the to-do's text, date, done state and the
// separator's state. A double click on a to-do, or the items view asking the card to edit,
// opens the to-do editor.
class DMItemsViewTodoItem : public DMItemsViewItem
{
    Q_OBJECT

public:
    DMItemsViewTodoItem(DMItemsViewDocument &document, DMCollectionView *collectionView);
    QSize cardSize() const override { return {320, 60}; }

    QWidget *todoView;
    QLabel *textField;
    QLabel *dateField;
    QLabel *hourOfDayField;
    QLabel *doneField;
    QWidget *separatorView;
    QLabel *separatorNameField;
    QToolButton *separatorDisclosureButton;

    // The disclosure button's action: flips the separator's "collapsed" attribute.
    void separatorToggleCollapse();
    // Opens the shared to-do editor on the to-do at a point of the view.
    void openInspectorAtPoint(QPointF point, QWidget *inView, EditorKeyboard keyboard = EditorKeyboard::Take);

    void viewMouseDown(DMItemBackgroundView *view, QMouseEvent *event) override;

protected:
    QStringList observedKeyPaths() const override;
    void editRepresentedObject(EditorKeyboard keyboard) override;
    void updateUI() override;
};
