#include "DMItemsViewDocumentsItem.h"

#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

DMItemsViewDocumentsItem::DMItemsViewDocumentsItem(DMItemsViewDocument &document, DMCollectionView *collectionView)
    : DMItemsViewItem(document, collectionView)
{
    view()->resize(cardSize());
    itemView = new QWidget(view());
    itemView->setGeometry(QRect(QPoint(), cardSize()));
    itemView->setAttribute(Qt::WA_TransparentForMouseEvents);
    iconImageView = addLabel({8, 8, 40, 40});
    nameField = addLabel({56, 4, 256, 18}, 12, true);
    sizeField = addLabel({56, 22, 80, 16});
    kindField = addLabel({136, 22, 176, 16});
    infoField = addLabel({56, 38, 256, 16}, 10);
    for (QLabel *field : {iconImageView, nameField, sizeField, kindField, infoField})
        field->setParent(itemView);

    addSeparatorView(separatorView, separatorDisclosureButton, separatorNameField);
    connect(separatorDisclosureButton, &QToolButton::clicked, this, &DMItemsViewDocumentsItem::separatorToggleCollapse);
}

void DMItemsViewDocumentsItem::updateUI()
{
    const std::shared_ptr<QVariantMap> row = representedObject().row;
    if (!row)
        return;
    const bool separator = row->value(kDMItemsViewDocumentItem_Separator).toBool();
    separatorView->setVisible(separator);
    itemView->setVisible(!separator);
    if (separator) {
        showSeparator(separatorDisclosureButton, separatorNameField, row->value(kDMItemsViewDocumentItem_Name).toString(),
                      !row->value(kDMItemsViewDocumentItem_SeparatorCollapsed).toBool());
        return;
    }
    iconImageView->setPixmap(row->value(kDMItemsViewDocumentItem_Icon).value<QIcon>().pixmap(40, 40));
    setTitleText(nameField, row->value(kDMItemsViewDocumentItem_Name).toString());
    sizeField->setText(row->value(kDMItemsViewDocumentItem_Size).toString());
    kindField->setText(row->value(kDMItemsViewDocumentItem_Kind).toString());
    setTitleText(infoField, row->value(kDMItemsViewDocumentItem_Info).toString());
}

void DMItemsViewDocumentsItem::separatorToggleCollapse()
{
    const std::shared_ptr<QVariantMap> row = representedObject().row;
    if (!row || !row->value(kDMItemsViewDocumentItem_Separator).toBool())
        return;
    row->insert(kDMItemsViewDocumentItem_SeparatorCollapsed, !row->value(kDMItemsViewDocumentItem_SeparatorCollapsed).toBool());
    emit separatorToggled(row);
}

void DMItemsViewDocumentsItem::viewMouseDown(DMItemBackgroundView *, QMouseEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick && representedObject().row)
        emit openRequested(representedObject().row);
}
