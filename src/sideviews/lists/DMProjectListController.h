#pragma once

#include "DMOutlineView.h"
#include "DMOutlineObjectTable.h"
#include "DMOutlineViewDataSource.h"
#include "DMOutlineViewDelegate.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QVariantMap>
#include <QWidget>

#include <functional>
#include <memory>

class DMEmptyCell;
class DMOutlineView;
class DMProjectListDocument;
class DMProjectObject;
class QBoxLayout;
class QPushButton;
class QWidget;

// What the task, resource and event lists share: the page (an outline with a bar of buttons
// below it) made once by loadView, the outline items that stand for model objects, the empty
// cell, the selection, and the column layout.
// Outline items are the model objects' handles of a DMOutlineObjectTable.
class DMProjectListController : public QObject, public DMOutlineViewDataSource, public DMOutlineViewDelegate
{
    Q_OBJECT

public:
    ~DMProjectListController() override;

    // Builds the page once: the outline with its columns and the buttons.
    void loadView();
    // The page that the source list puts into the content area; null before loadView.
    QWidget *containerView() const { return m_containerView; }
    DMOutlineView *outlineView() const { return m_outlineView; }
    // Shows the model as it is now; the expanded rows stay expanded.
    virtual void reload();

    // The object of the (first) selected row; null without a selection.
    std::shared_ptr<DMProjectObject> selectedObject() const;
    // Whether a row is selected: the commands on the selection can act.
    bool hasSelection() const;
    std::shared_ptr<DMProjectObject> objectForItem(DMOutlineItem item) const;
    static DMOutlineItem itemForObject(const DMProjectObject *object) { return object; }

    // Per column with an identifier: {"hidden", "width", "position"} (and "identifier" where the
    // list writes it); a snapshot that setColumnStatusDictionary puts back.
    QVariantMap columnStatusDictionary() const;
    void setColumnStatusDictionary(const QVariantMap &status);

    // After a reload: expands the parent (null: none), selects the object's row, scrolls to it
    // and, with editTitle, starts editing the column in place; without, opens the inspector
    // (inspectSelection).
    void showNewObject(const DMProjectObject *object, const DMProjectObject *parent, bool editTitle,
                       const QString &titleColumn);

    // DMOutlineViewDelegate
    void outlineViewSelectionDidChange(DMOutlineView *view) override;

signals:
    // The selected row changed (selectedObject).
    void selectedItemChanged();

protected:
    explicit DMProjectListController(DMProjectListDocument &document);

    // The outline's columns and cells, made once by loadView.
    virtual void setUpColumns(DMOutlineView *outline) = 0;
    // The buttons below the outline.
    virtual void addButtons(QBoxLayout *bar) = 0;
    // The inspector of the selected row, opened by a new object without an edited title.
    virtual void inspectSelection() = 0;
    // The task list's entries name their column under "identifier"; the other lists' do not.
    virtual bool columnStatusNamesIdentifier() const { return false; }
    QPushButton *addButton(QBoxLayout *bar, const QString &title, const QString &toolTip, std::function<void()> action);
    // A button of a command on the selected rows: enabled only while a row is selected.
    QPushButton *addSelectionButton(QBoxLayout *bar, const QString &title, const QString &toolTip,
                                    std::function<void()> action);

    DMOutlineItem remember(const std::shared_ptr<DMProjectObject> &object) const;
    DMEmptyCell *emptyCell() const { return m_emptyCell.get(); }

    DMProjectListDocument &m_document;

private:
    void updateSelectionButtons();

    QPointer<QWidget> m_containerView;
    QPointer<DMOutlineView> m_outlineView;
    std::unique_ptr<DMEmptyCell> m_emptyCell;
    mutable DMOutlineObjectTable m_objects;
    QList<QPointer<QPushButton>> m_selectionButtons;
};
