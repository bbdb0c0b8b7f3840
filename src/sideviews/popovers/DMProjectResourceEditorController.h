#pragma once

#include "DMDragReceiverView.h"
#include "DMObservable.h"
#include "DMPopoverEditorController.h"

#include <QImage>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class DMAttachedWindow;
class DMProject;
class DMProjectResource;
class DMTextField;
struct DMVCard;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMimeData;
class QToolButton;

// The popover in which a resource or a resource group is edited, opened from the project outline
// in the resource view and from the resource list: its name, whether it is a person, its e-mail
// address, telephone, cost kind and rate, the group it belongs to, and its icon from an image
// file. A person's vCard (a .vcf file or text/vcard data) dropped on it, or chosen with the
// "Choose vCard" button, fills the resource's name, icon, telephone and e-mail address.
//
// Every change is one undo step of the resource's project. A vCard or image that does not read
// changes nothing and says why.
class DMProjectResourceEditorController : public DMPopoverEditorController, private DMDragReceiverViewDelegate
{
    Q_OBJECT

public:
    // One entry of the group pop-up.
    struct ResourceGroupEntry
    {
        std::weak_ptr<DMProjectResource> resource;
        QString itemTitle; // the group's name after two blanks per level
    };

    // The largest icon stored: an image is scaled down to fit it, keeping its proportions.
    static constexpr int kIconSize = 64;
    // Larger image files are refused before they are read.
    static constexpr qint64 kMaximumImageFileSize = qint64(64) << 20;

    static DMProjectResourceEditorController *sharedInstance();

    std::shared_ptr<DMProjectResource> editedObject() const { return m_editedObject.lock(); }
    // Not owned. A resource rebuilds the group list and refreshes the controls; null clears them.
    void setEditedObject(const std::shared_ptr<DMProjectResource> &resource);
    // Shows the popover of the edited object's kind pointing at the point (view coordinates).
    void showAtPointInView(QPointF point, QWidget *view);
    void close() override;

    // Actions. The pop-up's index counts "None" (0) and the separator (1).
    void resourceGroupsPopupCallback(int index);
    void chooseIcon();
    void chooseVCard();

    // The model side of the actions, also used by tests. False, with *error for the user, when
    // nothing changed because the input did not read.
    bool setEditedObjectIconWithContentsOfFile(const QString &path, QString *error);
    bool fillEditedObjectWithVCardData(const QByteArray &data, QString *error);
    bool fillEditedObjectWithVCardFile(const QString &path, QString *error);
    bool fillEditedObjectWithMimeData(const QMimeData *data, QString *error);
    // Whether a drag offers a vCard: text/vcard data, or a file whose name says it is one.
    static bool mimeDataOffersVCard(const QMimeData *data);
    // Fills the resource from the card as one undo step: name (given and family name; else the
    // formatted name, the organization, the nickname; kept when the card has none), icon from the
    // photo, the preferred telephone and e-mail. False when the card holds none of them or its
    // photo is no image.
    static bool fillResourceWithVCard(DMProjectResource &resource, const DMVCard &card, QString *error);
    // An image file's or data's picture fitted to the icon size; null when it does not read.
    static QImage iconImageWithData(const QByteArray &data);

    // The groups the edited object's project has, in tree order.
    const QList<ResourceGroupEntry> &resourceGroups() const { return m_resourceGroups; }

    // The interface, for tests and screenshots.
    QWidget *containerView() const { return m_containerView; }
    QWidget *groupContainerView() const { return m_groupContainerView; }
    DMAttachedWindow *containerWindow() const;
    DMAttachedWindow *groupContainerWindow() const;
    QComboBox *resourceGroupsPopup() const;
    QLineEdit *nameField() const;
    QLineEdit *emailField() const { return m_emailField; }
    QLineEdit *phoneField() const { return m_phoneField; }
    QCheckBox *humanCheckBox() const { return m_humanCheckBox; }
    QComboBox *costKindPopup() const { return m_costKindPopup; }
    DMTextField *costField() const { return m_costField; }
    QToolButton *iconButton() const { return m_iconButton; }
    DMDragReceiverView *dropView() const { return m_dropView; }

signals:
    // After a move between groups: the resource's project and its new group (null for the top
    // level), so that the items view of that project shows the resource's new place.
    void resourceGroupOpened(const std::shared_ptr<DMProject> &project, const std::shared_ptr<DMProjectResource> &group);

private:
    friend class DMPopoverEditorController;
    DMProjectResourceEditorController();
    bool fillEditedObjectWithCards(const std::function<bool(QList<DMVCard> *, QString *)> &read, QString *error);
    void buildContainerView();
    void buildGroupContainerView();
    void rebuildResourceGroups();
    void refreshUI();
    void commitField(QLineEdit *field);
    void presentError(const QString &message, const QString &informativeText);
    void deferPresentingError(const QString &message, const QString &informativeText);
    bool editedIsResource() const;
    // Where the Choose panels start: beside the edited resource's document.
    QString folderForPanels() const;

    Qt::DropAction dragReceiverViewDraggingEntered(DMDragReceiverView *view, const DMDraggingInfo &info) override;
    Qt::DropAction dragReceiverViewDraggingUpdated(DMDragReceiverView *view, const DMDraggingInfo &info) override;
    bool dragReceiverViewPrepareForDragOperation(DMDragReceiverView *view, const DMDraggingInfo &info) override;
    bool dragReceiverViewPerformDragOperation(DMDragReceiverView *view, const DMDraggingInfo &info) override;

    std::weak_ptr<DMProjectResource> m_editedObject;
    DMObservation m_editedObjectObservation;
    QList<ResourceGroupEntry> m_resourceGroups;
    bool m_refreshing = false;

    // Made with the controller and kept; each goes into its popover window on first show.
    DMDragReceiverView *m_dropView = nullptr;
    QWidget *m_containerView = nullptr;
    QWidget *m_groupContainerView = nullptr;
    QLineEdit *m_nameField = nullptr;
    QLineEdit *m_groupNameField = nullptr;
    QCheckBox *m_humanCheckBox = nullptr;
    QLineEdit *m_emailField = nullptr;
    QLineEdit *m_phoneField = nullptr;
    QComboBox *m_costKindPopup = nullptr;
    DMTextField *m_costField = nullptr;
    QComboBox *m_groupsPopup = nullptr;
    QComboBox *m_groupGroupsPopup = nullptr;
    QToolButton *m_iconButton = nullptr;
};
