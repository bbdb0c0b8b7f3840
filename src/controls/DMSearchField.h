#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QVariant>

class DMSearchFieldContainerView;
class DMSearchFieldDataSource;
class QAbstractTableModel;
class QTableView;

// A search field that, while the user types, asks its data source for matching results and shows
// them in a borderless window hanging under the field, one row per result. Choosing a row tells
// the data source. An empty text asks nothing and shows no window.
//
// The results window does not take the focus, so the field keeps editing while the user clicks a
// row; ending editing (the field losing the focus) hides the window. While it shows, the Down and
// Up arrows walk its rows without choosing, Return chooses the row reached and Escape hides it;
// Escape with no results shown empties the field.
class DMSearchField : public QLineEdit
{
    Q_OBJECT

public:
    static constexpr int kResultsWindowWidth = 196;
    static constexpr int kRowHeight = 18; // a row's step is this plus 2

    explicit DMSearchField(QWidget *parent = nullptr);
    ~DMSearchField() override;

    // Not owned: the owner clears it before the data source goes.
    DMSearchFieldDataSource *dataSource() const { return m_dataSource; }
    void setDataSource(DMSearchFieldDataSource *dataSource) { m_dataSource = dataSource; }
    QVariantList searchResults() const { return m_searchResults; }
    void setSearchResults(const QVariantList &results);
    // The results window is the container view; the table is inside it.
    DMSearchFieldContainerView *containerView() const;
    QWidget *resultsWindow() const;
    QTableView *resultsTableView() const { return m_resultsTableView; }
    // The keys read from each result, one per table column.
    static QStringList columnIdentifiers();

    // Editing as the field sees it: the first edit after the field takes the focus begins it,
    // every edit changes the text, losing the focus ends it.
    void textDidBeginEditing();
    void textDidChange();
    void textDidEndEditing();

    void showWindow();
    void hideWindow();
    bool isResultsWindowVisible() const;

public slots:
    void dismiss() { hideWindow(); }

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void onTextEdited();
    void onSelectionChanged();
    // Highlights the row (clamped to the rows) without telling the data source.
    void walkToRow(int row);
    void chooseRow(int row);

    DMSearchFieldDataSource *m_dataSource = nullptr;
    QVariantList m_searchResults;
    QPointer<DMSearchFieldContainerView> m_containerView; // also the results window; owned
    QTableView *m_resultsTableView = nullptr;             // inside the container view
    QAbstractTableModel *m_resultsModel = nullptr;        // owned by the table
    bool m_editing = false;
    bool m_walking = false; // the selection moves by arrow key: nothing is chosen
    int m_walkedRow = -1;   // the row reached by arrow key, which a click on it chooses
};
