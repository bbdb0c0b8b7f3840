#pragma once

#include "DMItemsViewItem.h"

class QToolButton;

// The card of an attached document (icon, name, size, kind and the items holding it) or of a
// section separator ("Project", "Tasks") with a disclosure button. A double click asks the
// document to open the row's file (a separator answers with a beep).
class DMItemsViewDocumentsItem : public DMItemsViewItem
{
    Q_OBJECT

public:
    DMItemsViewDocumentsItem(DMItemsViewDocument &document, DMCollectionView *collectionView);
    QSize cardSize() const override { return {320, 60}; }

    QWidget *itemView;
    QLabel *iconImageView;
    QLabel *nameField;
    QLabel *sizeField;
    QLabel *kindField;
    QLabel *infoField;
    QWidget *separatorView;
    QLabel *separatorNameField;
    QToolButton *separatorDisclosureButton;

    // Flips the separator's collapsed flag and tells the document, which rebuilds the page.
    void separatorToggleCollapse();
    void viewMouseDown(DMItemBackgroundView *view, QMouseEvent *event) override;

protected:
    void updateUI() override;
};
