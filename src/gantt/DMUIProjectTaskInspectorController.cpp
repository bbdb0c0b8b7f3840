#include "DMUIProjectTaskInspectorController.h"

#include "DMDelayedCall.h"
#include "DMDictionaryAccess.h"
#include "DMFormatter.h"
#include "DMGanttDocumentHooks.h"
#include "DMInspectorDocumentsTable.h"
#include "DMInspectorForm.h"
#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMProject.h"
#include "DMProjectEnums.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMTextField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

QStringList attachedKeysOf(const DMProjectItem &item)
{
    QStringList keys;
    for (const QVariant &key : arrayForKey(item.attributes(), kDMProjectItem_AttachedDocuments))
        if (key.metaType() == QMetaType::fromType<QString>() && !key.toString().isEmpty())
            keys.append(key.toString());
    return keys;
}

QVariant attachedKeysValue(const QStringList &keys)
{
    return keys.isEmpty() ? QVariant() : QVariant(QVariantList(keys.cbegin(), keys.cend()));
}

} // namespace

DMUIProjectTaskInspectorController *DMUIProjectTaskInspectorController::sharedInstance()
{
    return sharedInstanceOf<DMUIProjectTaskInspectorController>();
}

DMUIProjectTaskInspectorController::DMUIProjectTaskInspectorController()
    : DMUIProjectItemInspectorController(QStringLiteral("DMUIProjectTaskInspector"))
{
}

bool DMUIProjectTaskInspectorController::loadInterface()
{
    DMInspectorForm form(QStringLiteral("DMUIProjectTaskInspectorContainerView"));
    addTitleField(form);
    addBeginDatePicker(form, QStringLiteral("Begin:"), QStringLiteral("beginDatePicker"));
    addEndDatePicker(form);
    addDurationFields(form);
    addUseWorkingScheduleCheckBox(form);
    addFillColorWell(form);
    addProgress(form);
    form.addRow(QStringLiteral("Cost:"), makeCostRow(form.view()));
    m_lockedCheckbox = form.addCheckBox(QStringLiteral("Locked"), QStringLiteral("lockedCheckbox"));
    connectControl(m_lockedCheckbox);
    addResourcesOutline(form);
    addNotes(form);
    form.addTab(QStringLiteral("Documents"), makeDocumentsPage(form.view()));
    QWidget *view = form.takeView();
    setContainerView(view, titleField());
    return true;
}

QWidget *DMUIProjectTaskInspectorController::makeCostRow(QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_costKind = new QComboBox(row);
    m_costKind->setObjectName(QStringLiteral("costKind"));
    for (const auto &[title, kind] : {std::pair{"Fixed cost", kDMProjectItemCostKind_Fixed},
                                      std::pair{"Hourly rate", kDMProjectItemCostKind_Hourly},
                                      std::pair{"Resources' rates", kDMProjectItemCostKind_FromResources}})
        m_costKind->addItem(DMLocalizedString(title), kind);
    m_costField = new DMTextField(row);
    m_costField->setObjectName(QStringLiteral("costField"));
    m_costField->setAlignment(Qt::AlignRight);
    layout->addWidget(m_costKind);
    layout->addWidget(m_costField, 1);
    connectControl(m_costKind);
    connectControl(m_costField);
    return row;
}

QWidget *DMUIProjectTaskInspectorController::makeDocumentsPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    m_documentsTableView = new DMInspectorDocumentsTable(page);
    m_documentsTableView->onFilesDropped = [this](const QStringList &paths) { addAttachedDocuments(paths); };
    m_documentsTableView->onOpenRequested = [this](const QString &key) { openAttachedDocumentLater(key); };
    connect(m_documentsTableView->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        m_documentsRemoveButton->setEnabled(!m_documentsTableView->selectedKeys().isEmpty());
    });
    auto *buttons = new QHBoxLayout;
    m_documentsAddButton = new QPushButton(QStringLiteral("+"), page);
    m_documentsAddButton->setObjectName(QStringLiteral("documentsAddButton"));
    m_documentsRemoveButton = new QPushButton(QStringLiteral("-"), page);
    m_documentsRemoveButton->setObjectName(QStringLiteral("documentsRemoveButton"));
    for (QPushButton *button : {m_documentsAddButton, m_documentsRemoveButton}) {
        button->setFixedWidth(28);
        buttons->addWidget(button);
        connectControl(button);
    }
    buttons->addStretch(1);
    layout->addWidget(m_documentsTableView, 1);
    layout->addLayout(buttons);
    return page;
}

// ---- Filling ----

void DMUIProjectTaskInspectorController::refreshUI()
{
    DMUIProjectItemInspectorController::refreshUI();
    const std::shared_ptr<DMProjectItem> item = editedItem();
    if (!item)
        return;
    const int kind = std::clamp(integerForKey(item->attributes(), kDMProjectItem_CostKind), int(kDMProjectItemCostKind_Fixed),
                                int(kDMProjectItemCostKind_FromResources));
    m_costKind->setCurrentIndex(m_costKind->findData(kind));
    if (DMGanttDocumentHooks *hooks = document())
        if (std::shared_ptr<DMFormatter> formatter = hooks->currencyFormatter(); formatter != m_costField->formatter())
            m_costField->setFormatter(formatter);
    if (!hasPendingTextEdit(m_costField))
        m_costField->setObjectValue(doubleForKey(item->attributes(), kDMProjectItem_Cost));
    m_costField->setVisible(kind != kDMProjectItemCostKind_FromResources);
    m_lockedCheckbox->setChecked(item->locked());
    refreshDocuments(*item);
}

void DMUIProjectTaskInspectorController::refreshDocuments(const DMProjectItem &item)
{
    DMGanttDocumentHooks *hooks = document();
    const QVariantMap table = dictionaryForKey(item.project()->attributes(), kDMProject_AttachedDocumentsTable);
    const QStringList keys = attachedKeysOf(item);
    // The rows ask the file system for paths and icons: they are rebuilt only when the task's
    // documents or their entries changed, not at every step of a drag.
    QVariantList shown{QVariant(keys)};
    for (const QString &key : keys)
        shown.append(table.value(key));
    if (shown != m_shownDocuments) {
        m_shownDocuments = shown;
        const QFileIconProvider icons;
        QList<DMInspectorDocumentsTable::Row> rows;
        for (const QString &key : keys) {
            const QString stored = stringForKey(dictionaryForKey(table, key), kDMProject_AttachedDocument_Path);
            const QString path = hooks ? hooks->attachedDocumentPathForTableKey(key, nullptr) : QString();
            // A document that cannot be had keeps its stored name and a plain icon.
            const QString name = QFileInfo(path.isEmpty() ? stored : path).fileName();
            rows.append({key, name.isEmpty() ? key : name,
                         path.isEmpty() ? icons.icon(QFileIconProvider::File) : icons.icon(QFileInfo(path))});
        }
        m_documentsTableView->setRows(rows);
    }
    m_documentsRemoveButton->setEnabled(!m_documentsTableView->selectedKeys().isEmpty());
}

// ---- Applying ----

void DMUIProjectTaskInspectorController::costEntered(DMProjectItem &item)
{
    const QString text = m_costField->text().trimmed();
    QVariant value;
    bool read = false;
    if (const std::shared_ptr<DMFormatter> formatter = m_costField->formatter())
        read = formatter->getObjectValueForString(&value, text);
    else
        value = text.toDouble(&read);
    const double cost = value.toDouble();
    if (!read || !std::isfinite(cost)) {
        refuse();
        return;
    }
    applyChange("Set Cost", [&item, cost] {
        item.setAttribute(kDMProjectItem_Cost, cost);
        return 0;
    });
}

void DMUIProjectTaskInspectorController::commonCallback(QObject *sender)
{
    const std::shared_ptr<DMProjectItem> item = editedItem();
    if (!item || !sender)
        return;
    if (sender == m_costField) {
        costEntered(*item);
    } else if (sender == m_costKind) {
        const int kind = m_costKind->currentData().toInt();
        applyChange("Set Cost Kind", [&item, kind] {
            item->setAttribute(kDMProjectItem_CostKind, kind);
            return 0;
        });
    } else if (sender == m_lockedCheckbox) {
        const bool locked = m_lockedCheckbox->isChecked();
        applyChange("Lock", [&item, locked] {
            item->setLocked(locked);
            return 0;
        });
    } else if (sender == m_documentsAddButton) {
        DMModalUI::FilePanel panel;
        panel.title = DMLocalizedString("Attach Documents");
        panel.allowsMultipleSelection = true;
        panel.canChooseDirectories = true;
        DMGanttDocumentHooks *hooks = document();
        if (hooks)
            panel.directory = hooks->folderForPanels();
        const QStringList paths = DMModalUI::instance().runOpenPanel(panel, hooks ? hooks->windowForSheet() : nullptr);
        addAttachedDocuments(paths);
    } else if (sender == m_documentsRemoveButton) {
        removeSelectedDocuments(*item);
    } else {
        DMUIProjectItemInspectorController::commonCallback(sender);
    }
}

void DMUIProjectTaskInspectorController::addAttachedDocuments(const QStringList &paths)
{
    const std::shared_ptr<DMProjectItem> item = editedItem();
    DMGanttDocumentHooks *hooks = document();
    if (!item || !hooks || paths.isEmpty())
        return;
    applyChange("Attach Documents", [&item, hooks, &paths] {
        QStringList keys = attachedKeysOf(*item);
        for (const QString &path : paths) {
            const QString key = hooks->addAttachedDocumentTableKey(path);
            if (key.isEmpty())
                continue;
            // A file the task has already: the reference just taken is given back.
            if (keys.contains(key))
                hooks->removeAttachedDocumentWithTableKey(key);
            else
                keys.append(key);
        }
        item->setAttribute(kDMProjectItem_AttachedDocuments, attachedKeysValue(keys));
        return 0;
    });
}

void DMUIProjectTaskInspectorController::removeSelectedDocuments(DMProjectItem &item)
{
    // The keys are taken before anything is removed, from the rows the user selected.
    const QStringList removed = m_documentsTableView->selectedKeys();
    DMGanttDocumentHooks *hooks = document();
    if (removed.isEmpty())
        return;
    applyChange("Remove Documents", [&item, hooks, &removed] {
        QStringList keys = attachedKeysOf(item);
        for (const QString &key : removed) {
            if (keys.removeAll(key) > 0 && hooks)
                hooks->removeAttachedDocumentWithTableKey(key);
        }
        item.setAttribute(kDMProjectItem_AttachedDocuments, attachedKeysValue(keys));
        return 0;
    });
}

void DMUIProjectTaskInspectorController::openAttachedDocumentLater(const QString &tableKey)
{
    const std::weak_ptr<DMProject> project = editedProject();
    performAfterDelay(this, 0.5, [this, project, tableKey] {
        if (const std::shared_ptr<DMProject> owner = project.lock(); owner && owner->isValid())
            if (documentOfProject(owner) && owner == editedProject())
                openAttachedDocument(tableKey);
    });
}

void DMUIProjectTaskInspectorController::openAttachedDocument(const QString &tableKey)
{
    DMGanttDocumentHooks *hooks = document();
    if (!hooks)
        return;
    QString error;
    const QString path = hooks->attachedDocumentPathForTableKey(tableKey, &error);
    if (path.isEmpty()) {
        DMModalUI::Alert alert;
        alert.title = DMLocalizedString("Open Attached Document");
        alert.messageText = DMLocalizedString("The attached document can't be opened.");
        alert.informativeText = error;
        alert.style = DMModalUI::Critical;
        DMModalUI::instance().runAlert(alert, hooks->windowForSheet());
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
