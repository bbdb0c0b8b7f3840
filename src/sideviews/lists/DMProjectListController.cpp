#include "DMProjectListController.h"

#include "DMEmptyCell.h"
#include "DMOutlineView.h"
#include "DMOutlineViewModel.h"
#include "DMProjectListDocument.h"
#include "DMProjectObject.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QString kHidden = QStringLiteral("hidden");
const QString kWidth = QStringLiteral("width");
const QString kPosition = QStringLiteral("position");
const QString kIdentifier = QStringLiteral("identifier");
} // namespace

DMProjectListController::DMProjectListController(DMProjectListDocument &document)
    : m_document(document), m_emptyCell(std::make_unique<DMEmptyCell>())
{
}

DMProjectListController::~DMProjectListController()
{
    if (DMOutlineView *outline = m_outlineView) {
        outline->setDelegate(nullptr);
        outline->setDataSource(nullptr);
    }
    // A page that no window took is this controller's.
    if (m_containerView && !m_containerView->parent())
        delete m_containerView.data();
}

void DMProjectListController::loadView()
{
    if (m_containerView)
        return;
    auto *container = new QWidget;
    auto *layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *outline = new DMOutlineView(container);
    outline->setAlternatingRowColors(true);
    layout->addWidget(outline, 1);
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 4);
    layout->addLayout(bar);
    m_containerView = container;
    m_outlineView = outline;
    setUpColumns(outline);
    addButtons(bar);
    bar->addStretch(1);
    outline->setDataSource(this);
    outline->setDelegate(this);
    updateSelectionButtons();
}

QPushButton *DMProjectListController::addButton(QBoxLayout *bar, const QString &title, const QString &toolTip,
                                                std::function<void()> action)
{
    auto *button = new QPushButton(title);
    button->setToolTip(toolTip);
    // Reached with Tab; a click leaves the keyboard in the list, on the rows it acts on.
    button->setFocusPolicy(Qt::TabFocus);
    connect(button, &QPushButton::clicked, this, [action = std::move(action)] { action(); });
    bar->addWidget(button);
    return button;
}

QPushButton *DMProjectListController::addSelectionButton(QBoxLayout *bar, const QString &title, const QString &toolTip,
                                                         std::function<void()> action)
{
    QPushButton *button = addButton(bar, title, toolTip, std::move(action));
    m_selectionButtons.append(button);
    return button;
}

void DMProjectListController::updateSelectionButtons()
{
    const bool selected = hasSelection();
    for (QPushButton *button : std::as_const(m_selectionButtons))
        if (button)
            button->setEnabled(selected);
}

void DMProjectListController::reload()
{
    m_objects.forgetGoneObjects();
    if (m_outlineView)
        m_outlineView->reloadData();
    // Rows that went take their selection with them without a selection change being reported.
    updateSelectionButtons();
}

DMOutlineItem DMProjectListController::remember(const std::shared_ptr<DMProjectObject> &object) const
{
    return m_objects.remember(object);
}

std::shared_ptr<DMProjectObject> DMProjectListController::objectForItem(DMOutlineItem item) const
{
    return m_objects.objectForItem(item);
}

bool DMProjectListController::hasSelection() const
{
    return m_outlineView && m_outlineView->selectedRow() >= 0;
}

std::shared_ptr<DMProjectObject> DMProjectListController::selectedObject() const
{
    if (!m_outlineView)
        return nullptr;
    const int row = m_outlineView->selectedRow();
    return row < 0 ? nullptr : objectForItem(m_outlineView->itemAtRow(row));
}

void DMProjectListController::outlineViewSelectionDidChange(DMOutlineView *view)
{
    if (view != m_outlineView)
        return;
    updateSelectionButtons();
    emit selectedItemChanged();
}

void DMProjectListController::showNewObject(const DMProjectObject *object, const DMProjectObject *parent, bool editTitle,
                                            const QString &titleColumn)
{
    DMOutlineView *outline = m_outlineView;
    if (!outline || !object)
        return;
    if (parent)
        outline->expandItem(itemForObject(parent));
    const int row = outline->rowForItem(itemForObject(object));
    if (row < 0)
        return;
    outline->selectRowIndexesByExtendingSelection({row}, false);
    outline->scrollRowToVisible(row);
    if (!editTitle) {
        inspectSelection();
        return;
    }
    const DMOutlineViewModel *model = outline->outlineModel();
    const QModelIndex index = model->indexForRow(row, model->logicalColumnWithIdentifier(titleColumn));
    if (index.isValid()) {
        outline->setCurrentIndex(index);
        // Through the base: the view asks its delegate, and a line editor opens with its text selected.
        static_cast<QAbstractItemView *>(outline)->edit(index);
    }
}

// ---- Column layout ----

QVariantMap DMProjectListController::columnStatusDictionary() const
{
    QVariantMap status;
    if (!m_outlineView)
        return status;
    const QStringList identifiers = m_outlineView->tableColumnIdentifiers();
    for (int position = 0; position < identifiers.size(); ++position) {
        const QString &identifier = identifiers.at(position);
        if (identifier.isEmpty())
            continue;
        const int logical = m_outlineView->outlineModel()->logicalColumnWithIdentifier(identifier);
        QVariantMap entry{{kHidden, m_outlineView->isTableColumnHidden(identifier)},
                          {kWidth, double(m_outlineView->header()->sectionSize(logical))},
                          {kPosition, position}};
        if (columnStatusNamesIdentifier())
            entry.insert(kIdentifier, identifier);
        status.insert(identifier, entry);
    }
    return status;
}

void DMProjectListController::setColumnStatusDictionary(const QVariantMap &status)
{
    DMOutlineView *outline = m_outlineView;
    if (!outline)
        return;
    // Entries in ascending position; each found by its key, which is its column's identifier.
    QList<std::pair<int, QString>> order;
    for (auto it = status.constBegin(); it != status.constEnd(); ++it)
        order.append({it.value().toMap().value(kPosition).toInt(), it.key()});
    std::sort(order.begin(), order.end());
    for (const auto &[position, identifier] : order) {
        const QVariantMap entry = status.value(identifier).toMap();
        const int column = outline->columnWithIdentifier(identifier);
        if (column < 0)
            continue;
        if (position >= 0 && position < outline->numberOfColumns() && column != position)
            outline->moveColumnToColumn(column, position);
        outline->setTableColumnHidden(identifier, entry.value(kHidden).toBool());
        const double width = entry.value(kWidth).toDouble();
        if (width >= 1 && width <= 10000)
            outline->header()->resizeSection(outline->outlineModel()->logicalColumnWithIdentifier(identifier), int(width));
    }
}
