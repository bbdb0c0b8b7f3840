#include "DMSearchField.h"

#include "DMLocalizedString.h"
#include "DMSearchFieldContainerView.h"
#include "DMSearchFieldDataSource.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QPixmap>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A borderless window above the field's window that never takes the focus from the field; its
// shadow is the window manager's.
constexpr Qt::WindowFlags kResultsWindowFlags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;

// The table's rows are the field's results; each column shows the value of its identifier.
class ResultsModel : public QAbstractTableModel
{
public:
    ResultsModel(DMSearchField *field, QObject *parent)
        : QAbstractTableModel(parent), m_field(field)
    {
    }

    void reload()
    {
        beginResetModel();
        endResetModel();
    }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(m_field->searchResults().size());
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(DMSearchField::columnIdentifiers().size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const QVariantList results = m_field->searchResults();
        if (!index.isValid() || index.row() >= results.size())
            return {};
        const QVariant value = results[index.row()].toMap().value(DMSearchField::columnIdentifiers()[index.column()]);
        const int type = value.metaType().id();
        const bool isImage = type == QMetaType::QImage || type == QMetaType::QPixmap || type == QMetaType::QIcon;
        if (role == Qt::DecorationRole && isImage)
            return type == QMetaType::QImage ? QVariant(QPixmap::fromImage(value.value<QImage>())) : value;
        if (role == Qt::DisplayRole && !isImage)
            return value;
        return {};
    }

private:
    DMSearchField *m_field;
};

} // namespace

DMSearchField::DMSearchField(QWidget *parent)
    : QLineEdit(parent), m_containerView(new DMSearchFieldContainerView(nullptr))
{
    setPlaceholderText(DMLocalizedString("Search"));
    setClearButtonEnabled(true);

    m_containerView->setWindowFlags(kResultsWindowFlags);
    m_containerView->setAttribute(Qt::WA_ShowWithoutActivating);
    auto *layout = new QVBoxLayout(m_containerView);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSizeConstraint(QLayout::SetNoConstraint); // the window is exactly as high as its rows
    m_resultsTableView = new QTableView(m_containerView);
    layout->addWidget(m_resultsTableView);
    m_resultsModel = new ResultsModel(this, m_resultsTableView);
    m_resultsTableView->setModel(m_resultsModel);
    m_resultsTableView->setFocusPolicy(Qt::NoFocus);
    m_resultsTableView->setFrameShape(QFrame::NoFrame);
    m_resultsTableView->setShowGrid(false);
    m_resultsTableView->horizontalHeader()->hide();
    m_resultsTableView->verticalHeader()->hide();
    m_resultsTableView->verticalHeader()->setMinimumSectionSize(1);
    m_resultsTableView->verticalHeader()->setDefaultSectionSize(kRowHeight + 2);
    m_resultsTableView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    m_resultsTableView->horizontalHeader()->resizeSection(0, kRowHeight + 4);
    m_resultsTableView->horizontalHeader()->setStretchLastSection(true);
    m_resultsTableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_resultsTableView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_resultsTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_resultsTableView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_resultsTableView->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(m_resultsTableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DMSearchField::onSelectionChanged);
    // A click on the row reached by arrow key changes no selection: it chooses that row here.
    connect(m_resultsTableView, &QTableView::clicked, this, [this](const QModelIndex &index) {
        if (index.row() == m_walkedRow)
            chooseRow(index.row());
    });
    connect(this, &QLineEdit::textEdited, this, &DMSearchField::onTextEdited);
}

DMSearchField::~DMSearchField()
{
    m_dataSource = nullptr;
    delete m_containerView; // whether attached to this field's window or not
}

QStringList DMSearchField::columnIdentifiers()
{
    return {QStringLiteral("icon"), QStringLiteral("title")};
}

DMSearchFieldContainerView *DMSearchField::containerView() const
{
    return m_containerView;
}

QWidget *DMSearchField::resultsWindow() const
{
    return m_containerView;
}

void DMSearchField::setSearchResults(const QVariantList &results)
{
    m_searchResults = results;
}

void DMSearchField::onTextEdited()
{
    if (!m_editing) {
        m_editing = true;
        textDidBeginEditing();
    }
    textDidChange();
}

void DMSearchField::focusOutEvent(QFocusEvent *event)
{
    if (m_editing) {
        m_editing = false;
        textDidEndEditing();
    }
    QLineEdit::focusOutEvent(event);
}

void DMSearchField::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && !isResultsWindowVisible()
        && !text().isEmpty()) {
        // With no results shown, Escape empties the field as its clear button does.
        clear();
        emit textEdited(QString());
        return;
    }
    if (isResultsWindowVisible() && !m_searchResults.isEmpty()) {
        const QModelIndexList rows = m_resultsTableView->selectionModel()->selectedRows();
        const int current = rows.isEmpty() ? -1 : rows.first().row();
        switch (event->key()) {
        case Qt::Key_Down:
            walkToRow(current + 1);
            return;
        case Qt::Key_Up:
            walkToRow(current < 0 ? int(m_searchResults.size()) - 1 : current - 1);
            return;
        case Qt::Key_Escape:
            hideWindow();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (current >= 0) {
                chooseRow(current);
                return;
            }
            break;
        default:
            break;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void DMSearchField::walkToRow(int row)
{
    row = std::clamp(row, 0, int(m_searchResults.size()) - 1);
    const QScopedValueRollback<bool> walking(m_walking, true);
    m_resultsTableView->selectRow(row);
    m_walkedRow = row;
    m_resultsTableView->scrollTo(m_resultsModel->index(row, 0));
}

void DMSearchField::textDidBeginEditing()
{
    showWindow();
}

void DMSearchField::textDidChange()
{
    // An empty text matches nothing worth listing: the data source is not asked.
    if (text().isEmpty() || !m_dataSource)
        m_searchResults.clear();
    else
        m_searchResults = m_dataSource->searchResultsForField(this);
    if (m_searchResults.isEmpty())
        hideWindow();
    else
        showWindow();
}

void DMSearchField::textDidEndEditing()
{
    hideWindow();
}

void DMSearchField::showWindow()
{
    if (!m_containerView)
        return;
    static_cast<ResultsModel *>(m_resultsModel)->reload();
    m_walkedRow = -1;
    const QPoint origin = mapToGlobal(QPoint(0, height()));
    const int rowStep = m_resultsTableView->verticalHeader()->defaultSectionSize();
    const QRect frame(origin.x(), origin.y(), kResultsWindowWidth, int(m_searchResults.size()) * rowStep + 2);
    if (m_containerView->parentWidget() != window()) {
        m_resultsTableView->clearSelection();
        m_containerView->setParent(window(), kResultsWindowFlags);
    }
    m_containerView->setGeometry(frame);
    m_containerView->show();
    m_containerView->raise();
}

void DMSearchField::hideWindow()
{
    if (!m_containerView || !m_containerView->isVisible())
        return;
    m_containerView->hide();
    m_containerView->setParent(nullptr, kResultsWindowFlags);
}

bool DMSearchField::isResultsWindowVisible() const
{
    return m_containerView && m_containerView->isVisible();
}

void DMSearchField::onSelectionChanged()
{
    const QModelIndexList rows = m_resultsTableView->selectionModel()->selectedRows();
    if (m_walking)
        return;
    m_walkedRow = -1;
    if (!rows.isEmpty())
        chooseRow(rows.first().row());
}

void DMSearchField::chooseRow(int row)
{
    if (m_dataSource && row >= 0 && row < m_searchResults.size())
        m_dataSource->searchFieldDidSelectItem(this, m_searchResults[row]);
}
