#include "DMProjectResourceEditorController.h"

#include "DMAttachedWindow.h"
#include "DMBeep.h"
#include "DMChildWindow.h"
#include "DMCurrencyFormatter.h"
#include "DMDrawingAdditions.h"
#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMProject.h"
#include "DMProjectDocumentHooks.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectUndoStep.h"
#include "DMReadGuard.h"
#include "DMRegularFile.h"
#include "DMTextField.h"
#include "DMVCardReader.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <functional>

namespace {

// The icon of a resource that has none: a person's head and shoulders.
QImage defaultResourceIcon()
{
    QImage image(DMProjectResourceEditorController::kIconSize, DMProjectResourceEditorController::kIconSize,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(150, 150, 150));
    painter.drawEllipse(QRectF(20, 8, 24, 24));
    painter.drawRoundedRect(QRectF(10, 36, 44, 24), 12, 12);
    return image;
}

QString textOf(const DMProjectResource &resource, const QString &key)
{
    return resource.attribute(key).toString();
}

} // namespace

DMProjectResourceEditorController *DMProjectResourceEditorController::sharedInstance()
{
    return sharedEditor<DMProjectResourceEditorController>();
}

DMProjectResourceEditorController::DMProjectResourceEditorController()
{
    buildContainerView();
    buildGroupContainerView();
}

// ---- The interface ----

void DMProjectResourceEditorController::buildContainerView()
{
    m_dropView = new DMDragReceiverView;
    m_dropView->setObjectName(QStringLiteral("DMProjectResourceInspectorContainerView"));
    m_dropView->setDelegate(this);
    m_containerView = m_dropView;

    m_iconButton = new QToolButton;
    m_iconButton->setIconSize(QSize(kIconSize, kIconSize));
    m_iconButton->setAutoRaise(true);
    m_iconButton->setToolTip(DMLocalizedString("Choose Image"));
    connect(m_iconButton, &QToolButton::clicked, this, &DMProjectResourceEditorController::chooseIcon);

    m_nameField = new QLineEdit;
    m_nameField->setPlaceholderText(DMLocalizedString("Name"));
    QFont bold = m_nameField->font();
    bold.setBold(true);
    m_nameField->setFont(bold);
    m_humanCheckBox = new QCheckBox(DMLocalizedString("Person"));
    m_emailField = new QLineEdit;
    m_phoneField = new QLineEdit;
    m_groupsPopup = new QComboBox;
    m_costKindPopup = new QComboBox;
    for (const auto &[title, kind] : {std::pair{"Hourly rate", kDMProjectResourceCostKind_Hourly},
                                      std::pair{"Daily rate", kDMProjectResourceCostKind_Daily},
                                      std::pair{"Not rate-based", kDMProjectResourceCostKind_Fixed}})
        m_costKindPopup->addItem(DMLocalizedString(title), kind);
    m_costField = new DMTextField;
    m_costField->setAlignment(Qt::AlignRight);
    auto *vCardButton = new QPushButton(DMLocalizedString("Choose vCard…"));
    auto *hint = new QLabel(DMLocalizedString("Drop a vCard here to fill the resource."));
    QFont small = hint->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    hint->setFont(small);
    hint->setEnabled(false);

    auto *head = new QGridLayout;
    head->addWidget(m_iconButton, 0, 0, 2, 1);
    head->addWidget(m_nameField, 0, 1);
    head->addWidget(m_humanCheckBox, 1, 1);
    auto *cost = new QHBoxLayout;
    cost->addWidget(m_costKindPopup);
    cost->addWidget(m_costField, 1);
    auto *form = new QFormLayout;
    form->addRow(DMLocalizedString("E-mail:"), m_emailField);
    form->addRow(DMLocalizedString("Phone:"), m_phoneField);
    form->addRow(DMLocalizedString("Group:"), m_groupsPopup);
    form->addRow(DMLocalizedString("Cost:"), cost);
    auto *footer = new QHBoxLayout;
    footer->addWidget(hint, 1);
    footer->addWidget(vCardButton);
    auto *layout = new QVBoxLayout(m_containerView);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addLayout(head);
    layout->addLayout(form);
    layout->addLayout(footer);
    m_containerView->setMinimumWidth(330);
    m_containerView->adjustSize();

    for (QLineEdit *field : {m_nameField, m_emailField, m_phoneField, static_cast<QLineEdit *>(m_costField)})
        connect(field, &QLineEdit::editingFinished, this, [this, field] { commitField(field); });
    connect(m_humanCheckBox, &QCheckBox::toggled, this, [this](bool human) {
        if (const auto resource = editedObject(); resource && !m_refreshing)
            DMProject_applyAsOneUndoStep(resource->project(), DMLocalizedString("Change Resource"),
                                         [&] { resource->setAttribute(kDMProjectResource_Human, human); });
    });
    connect(m_costKindPopup, &QComboBox::activated, this, [this](int index) {
        const int kind = m_costKindPopup->itemData(index).toInt();
        if (const auto resource = editedObject(); resource && !m_refreshing)
            DMProject_applyAsOneUndoStep(resource->project(), DMLocalizedString("Change Resource"),
                                         [&] { resource->setAttribute(kDMProjectResource_CostKind, kind); });
    });
    connect(m_groupsPopup, &QComboBox::activated, this, &DMProjectResourceEditorController::resourceGroupsPopupCallback);
    connect(vCardButton, &QPushButton::clicked, this, &DMProjectResourceEditorController::chooseVCard);
}

void DMProjectResourceEditorController::buildGroupContainerView()
{
    m_groupContainerView = new QWidget;
    m_groupContainerView->setObjectName(QStringLiteral("DMProjectResourceInspectorGroupContainerView"));
    m_groupNameField = new QLineEdit;
    m_groupGroupsPopup = new QComboBox;
    auto *form = new QFormLayout(m_groupContainerView);
    form->setContentsMargins(10, 10, 10, 10);
    form->addRow(DMLocalizedString("Name:"), m_groupNameField);
    form->addRow(DMLocalizedString("Group:"), m_groupGroupsPopup);
    m_groupContainerView->setMinimumWidth(260);
    m_groupContainerView->adjustSize();
    connect(m_groupNameField, &QLineEdit::editingFinished, this, [this] { commitField(m_groupNameField); });
    connect(m_groupGroupsPopup, &QComboBox::activated, this,
            &DMProjectResourceEditorController::resourceGroupsPopupCallback);
}

DMAttachedWindow *DMProjectResourceEditorController::containerWindow() const
{
    return windowOfContainer(m_containerView);
}

DMAttachedWindow *DMProjectResourceEditorController::groupContainerWindow() const
{
    return windowOfContainer(m_groupContainerView);
}

bool DMProjectResourceEditorController::editedIsResource() const
{
    const auto resource = editedObject();
    return resource && !resource->isGroup();
}

QComboBox *DMProjectResourceEditorController::resourceGroupsPopup() const
{
    return editedIsResource() || !editedObject() ? m_groupsPopup : m_groupGroupsPopup;
}

QLineEdit *DMProjectResourceEditorController::nameField() const
{
    return editedIsResource() || !editedObject() ? m_nameField : m_groupNameField;
}

// ---- Edited object ----

void DMProjectResourceEditorController::setEditedObject(const std::shared_ptr<DMProjectResource> &resource)
{
    m_editedObject = resource;
    m_editedObjectObservation.reset();
    if (!resource) {
        m_resourceGroups.clear();
        return;
    }
    // An undo, or an edit elsewhere, shows at once.
    m_editedObjectObservation = resource->observe(QString(), [this](const DMChange &, DMObservable *) { refreshUI(); });
    rebuildResourceGroups();
    refreshUI();
}

void DMProjectResourceEditorController::rebuildResourceGroups()
{
    m_resourceGroups.clear();
    const auto resource = editedObject();
    const auto project = resource ? resource->project() : nullptr;
    if (!project)
        return;
    const std::function<void(const QList<std::shared_ptr<DMProjectResource>> &, int)> walk =
        [&](const QList<std::shared_ptr<DMProjectResource>> &resources, int level) {
            for (const auto &group : resources) {
                if (!group->isGroup())
                    continue;
                m_resourceGroups.append({group, QString(2 * level, QLatin1Char(' ')) + group->name()});
                walk(group->subitems().list(), level + 1);
            }
        };
    walk(project->resources().list(), 0);
}

void DMProjectResourceEditorController::refreshUI()
{
    const auto resource = editedObject();
    if (!resource)
        return;
    const QScopedValueRollback<bool> refreshing(m_refreshing, true);
    QComboBox *popup = resourceGroupsPopup();
    popup->clear();
    popup->addItem(DMLocalizedString("None"));
    popup->insertSeparator(1);
    int selected = 0;
    const auto parent = resource->parentItem();
    for (qsizetype i = 0; i < m_resourceGroups.size(); ++i) {
        popup->addItem(m_resourceGroups.at(i).itemTitle);
        if (parent && m_resourceGroups.at(i).resource.lock() == parent)
            selected = int(i) + 2;
    }
    popup->setCurrentIndex(selected);
    nameField()->setText(resource->name());
    if (resource->isGroup())
        return;

    const QImage icon = resource->attribute(kDMProjectResource_Icon).value<QImage>();
    m_iconButton->setIcon(QIcon(QPixmap::fromImage(icon.isNull() ? defaultResourceIcon() : icon)));
    m_humanCheckBox->setChecked(resource->attribute(kDMProjectResource_Human).toBool());
    m_emailField->setText(textOf(*resource, kDMProjectResource_Email));
    m_phoneField->setText(textOf(*resource, kDMProjectResource_Phone));
    const int costKind = std::clamp(resource->attribute(kDMProjectResource_CostKind).toInt(),
                                    int(kDMProjectResourceCostKind_Hourly), int(kDMProjectResourceCostKind_Fixed));
    m_costKindPopup->setCurrentIndex(m_costKindPopup->findData(costKind));
    const auto project = resource->project();
    m_costField->setFormatter(std::make_shared<DMCurrencyFormatter>(
        project ? project->attribute(kDMProject_Settings_CurrencyUnit).toString() : QString()));
    m_costField->setObjectValue(resource->attribute(kDMProjectResource_HourlyCost).toDouble());
}

void DMProjectResourceEditorController::commitField(QLineEdit *field)
{
    const auto resource = editedObject();
    if (!resource || m_refreshing)
        return;
    const QString text = field->text();
    const auto change = [&](const std::function<void()> &apply) {
        DMProject_applyAsOneUndoStep(resource->project(), DMLocalizedString("Change Resource"), apply);
    };
    if (field == m_nameField || field == m_groupNameField) {
        if (text != resource->name())
            change([&] { resource->setName(text); });
    } else if (field == m_emailField || field == m_phoneField) {
        const QString &key = field == m_emailField ? kDMProjectResource_Email : kDMProjectResource_Phone;
        if (text != textOf(*resource, key))
            change([&] { resource->setAttribute(key, text.isEmpty() ? QVariant() : QVariant(text)); });
    } else if (field == m_costField) {
        QVariant typed;
        const std::shared_ptr<DMFormatter> formatter = m_costField->formatter();
        if (!formatter || !formatter->getObjectValueForString(&typed, text)) {
            DMBeep(); // a text that does not read is refused: the stored cost shows again
            refreshUI();
            return;
        }
        const float cost = float(typed.toDouble());
        if (cost != resource->attribute(kDMProjectResource_HourlyCost).toFloat())
            change([&] { resource->setAttribute(kDMProjectResource_HourlyCost, cost); });
        else
            refreshUI();
    }
}

// ---- Showing ----

void DMProjectResourceEditorController::showAtPointInView(QPointF point, QWidget *view)
{
    const auto resource = editedObject();
    if (!resource)
        return;
    QWidget *container = resource->isGroup() ? m_groupContainerView : m_containerView;
    showContainerAtPointInView(container, nameField(), point, view);
}

void DMProjectResourceEditorController::close()
{
    setEditedObject(nullptr);
    hide();
}

// ---- Groups ----

void DMProjectResourceEditorController::resourceGroupsPopupCallback(int index)
{
    const auto resource = editedObject();
    const auto project = resource ? resource->project() : nullptr;
    if (!project)
        return;
    const std::shared_ptr<DMProjectResource> target = index < 2 ? nullptr : m_resourceGroups.value(index - 2).resource.lock();
    const auto parent = resource->parentItem();
    if ((index >= 2 && !target) || target == parent) {
        refreshUI();
        return;
    }
    // A group removed from the project since the list was made (an undo, another view) would
    // take the resource out of the project with it.
    if (target && (!target->isAttached() || target->project() != project)) {
        DMBeep();
        rebuildResourceGroups();
        refreshUI();
        return;
    }
    // A group cannot go into itself or one of its own subgroups.
    for (auto group = target; group; group = group->parentItem())
        if (group == resource) {
            DMBeep();
            refreshUI();
            return;
        }
    DMMutableArray<std::shared_ptr<DMProjectResource>> &from = parent ? parent->subitems() : project->resources();
    const qsizetype position = from.indexOf(resource);
    if (position < 0)
        return;
    DMProject_applyAsOneUndoStep(project, DMLocalizedString("Move Resource"), [&] {
        from.removeAt(position);
        (target ? target->subitems() : project->resources()).append(resource);
    });
    close();
    emit resourceGroupOpened(project, target);
}

// ---- Icon ----

QImage DMProjectResourceEditorController::iconImageWithData(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    // Decoded straight at the icon size where the format can, so a large picture is never held
    // whole; the reader's allocation limit refuses absurd sizes.
    const QSize size = reader.size();
    const QSize fitted = sizeWithMaxSize(size, QSize(kIconSize, kIconSize));
    if (fitted.isValid() && fitted != size)
        reader.setScaledSize(fitted);
    const QImage image = reader.read();
    return imageWithMaxSize(image, QSize(kIconSize, kIconSize));
}

bool DMProjectResourceEditorController::setEditedObjectIconWithContentsOfFile(const QString &path, QString *error)
{
    const auto resource = editedObject();
    if (!resource)
        return false;
    QImage icon;
    const auto read = [&] {
        const std::optional<QByteArray> data =
            DMRegularFile::read(path, kMaximumImageFileSize, DMRegularFile::FollowLinks, error);
        if (data)
            icon = iconImageWithData(*data);
        if (data && icon.isNull() && error)
            *error = DMLocalizedString("\"%1\" is not an image that can be read.").arg(QFileInfo(path).fileName());
        return !icon.isNull();
    };
    if (!DMReadGuard::run(read, error))
        return false;
    DMProject_applyAsOneUndoStep(resource->project(), DMLocalizedString("Change Icon"),
                                 [&] { resource->setAttribute(kDMProjectResource_Icon, icon); });
    return true;
}

QString DMProjectResourceEditorController::folderForPanels() const
{
    const auto resource = editedObject();
    const auto project = resource ? resource->project() : nullptr;
    const DMProjectDocumentHooks *document = project ? project->displayAttributes().projectDocument : nullptr;
    return document ? document->folderForPanels() : QString();
}

void DMProjectResourceEditorController::chooseIcon()
{
    if (!editedIsResource())
        return;
    // The types the image reader of this system can read, of those an icon may come from.
    QStringList extensions;
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    for (const char *extension : {"jpg", "png", "gif", "tif", "tiff", "jpeg", "pdf", "bmp"})
        if (readable.contains(extension))
            extensions << QString::fromLatin1(extension);
    DMModalUI::FilePanel panel;
    panel.title = DMLocalizedString("Choose Image");
    panel.allowedExtensions = extensions;
    panel.directory = folderForPanels();
    QStringList paths;
    runKeepingPopoverOpen([&] { paths = DMModalUI::instance().runOpenPanel(panel, DMWindow_parentWindow(containerWindow())); });
    QString error;
    if (!paths.isEmpty() && !setEditedObjectIconWithContentsOfFile(paths.first(), &error))
        presentError(DMLocalizedString("The image could not be read."), error);
}

// ---- vCards ----

bool DMProjectResourceEditorController::fillResourceWithVCard(DMProjectResource &resource, const DMVCard &card,
                                                              QString *error)
{
    const auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    QString name = card.personName();
    for (const QString &other : {card.formattedName, card.organization, card.nickname})
        if (name.isEmpty())
            name = other.trimmed();
    QImage icon;
    if (!card.photo.isEmpty()) {
        icon = iconImageWithData(card.photo);
        if (icon.isNull())
            return fail(DMLocalizedString("The picture in the vCard is not an image that can be read."));
    }
    const QString phone = card.preferredPhone();
    const QString email = card.preferredEmail();
    if (name.isEmpty() && icon.isNull() && phone.isEmpty() && email.isEmpty())
        return fail(DMLocalizedString("The vCard holds no name, picture, telephone number or e-mail address."));
    DMProject_applyAsOneUndoStep(resource.project(), DMLocalizedString("Fill from vCard"), [&] {
        // A card without any name keeps the resource's own.
        if (!name.isEmpty())
            resource.setName(name);
        if (!icon.isNull())
            resource.setAttribute(kDMProjectResource_Icon, icon);
        if (!phone.isEmpty())
            resource.setAttribute(kDMProjectResource_Phone, phone);
        if (!email.isEmpty())
            resource.setAttribute(kDMProjectResource_Email, email);
    });
    return true;
}

bool DMProjectResourceEditorController::fillEditedObjectWithCards(
    const std::function<bool(QList<DMVCard> *, QString *)> &read, QString *error)
{
    const auto resource = editedObject();
    QList<DMVCard> cards;
    if (!resource || resource->isGroup() || !DMReadGuard::run([&] { return read(&cards, error); }, error))
        return false;
    // The first person of the card, as the first of several dragged people.
    return fillResourceWithVCard(*resource, cards.first(), error);
}

bool DMProjectResourceEditorController::fillEditedObjectWithVCardData(const QByteArray &data, QString *error)
{
    return fillEditedObjectWithCards(
        [&](QList<DMVCard> *cards, QString *message) { return DMVCardReader::readVCards(data, cards, message); }, error);
}

bool DMProjectResourceEditorController::fillEditedObjectWithVCardFile(const QString &path, QString *error)
{
    return fillEditedObjectWithCards(
        [&](QList<DMVCard> *cards, QString *message) { return DMVCardReader::readVCardsFromFile(path, cards, message); },
        error);
}

bool DMProjectResourceEditorController::mimeDataOffersVCard(const QMimeData *data)
{
    if (!data)
        return false;
    for (const QString &type : DMVCardReader::mimeTypes())
        if (data->hasFormat(type))
            return true;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl &url) {
        return url.isLocalFile() && DMVCardReader::hasVCardExtension(url.toLocalFile());
    });
}

bool DMProjectResourceEditorController::fillEditedObjectWithMimeData(const QMimeData *data, QString *error)
{
    if (!data)
        return false;
    for (const QString &type : DMVCardReader::mimeTypes())
        if (data->hasFormat(type))
            return fillEditedObjectWithVCardData(data->data(type), error);
    for (const QUrl &url : data->urls())
        if (url.isLocalFile() && DMVCardReader::hasVCardExtension(url.toLocalFile()))
            return fillEditedObjectWithVCardFile(url.toLocalFile(), error);
    if (error)
        *error = DMLocalizedString("The drop holds no vCard.");
    return false;
}

void DMProjectResourceEditorController::chooseVCard()
{
    if (!editedIsResource())
        return;
    DMModalUI::FilePanel panel;
    panel.title = DMLocalizedString("Choose vCard");
    panel.allowedExtensions = {QStringLiteral("vcf"), QStringLiteral("vcard")};
    panel.directory = folderForPanels();
    QStringList paths;
    runKeepingPopoverOpen([&] { paths = DMModalUI::instance().runOpenPanel(panel, DMWindow_parentWindow(containerWindow())); });
    QString error;
    if (!paths.isEmpty() && !fillEditedObjectWithVCardFile(paths.first(), &error))
        presentError(DMLocalizedString("The vCard could not be read."), error);
}

// ---- Drops ----

Qt::DropAction DMProjectResourceEditorController::dragReceiverViewDraggingEntered(DMDragReceiverView *view,
                                                                                  const DMDraggingInfo &info)
{
    return view == m_dropView && editedIsResource() && mimeDataOffersVCard(info.pasteboard) ? Qt::CopyAction
                                                                                           : Qt::IgnoreAction;
}

Qt::DropAction DMProjectResourceEditorController::dragReceiverViewDraggingUpdated(DMDragReceiverView *view,
                                                                                  const DMDraggingInfo &info)
{
    return dragReceiverViewDraggingEntered(view, info);
}

bool DMProjectResourceEditorController::dragReceiverViewPrepareForDragOperation(DMDragReceiverView *view,
                                                                               const DMDraggingInfo &info)
{
    return dragReceiverViewDraggingEntered(view, info) != Qt::IgnoreAction;
}

bool DMProjectResourceEditorController::dragReceiverViewPerformDragOperation(DMDragReceiverView *,
                                                                            const DMDraggingInfo &info)
{
    QString error;
    if (fillEditedObjectWithMimeData(info.pasteboard, &error))
        return true;
    deferPresentingError(DMLocalizedString("The vCard could not be read."), error);
    return false;
}

// ---- Messages ----

void DMProjectResourceEditorController::presentError(const QString &message, const QString &informativeText)
{
    runKeepingPopoverOpen([&] {
        DMModalUI::instance().presentError(message, informativeText, DMWindow_parentWindow(containerWindow()),
                                           DMLocalizedString("Resource"));
    });
}

void DMProjectResourceEditorController::deferPresentingError(const QString &message, const QString &informativeText)
{
    // After the drop has ended: an alert's modal loop inside the drop would hold the drag open.
    QTimer::singleShot(0, this, [this, message, informativeText] { presentError(message, informativeText); });
}
