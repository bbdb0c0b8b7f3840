#pragma once

#include "DMItemsViewItem.h"

class QToolButton;

// The card of an attached document (icon, name, size, kind and the items holding it) or of a
// section separator ("Project", "Tasks") with a disclosure button. It asks its items view, which
// connects to its signals when it makes the card: a double click to open the row's file (a
// separator answers with a beep), the disclosure button to rebuild the page.
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

    // Flips the separator's collapsed flag and says so.
    void separatorToggleCollapse();
    void viewMouseDown(DMItemBackgroundView *view, QMouseEvent *event) override;

signals:
    void separatorToggled(const std::shared_ptr<QVariantMap> &row);
    void openRequested(const std::shared_ptr<QVariantMap> &row);

protected:
    void updateUI() override;
};
