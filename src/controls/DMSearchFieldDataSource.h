#pragma once

#include <QVariant>

class DMSearchField;

// What a search field asks while the user types. Each result is a map whose values are read by
// the results table's column identifiers ("icon" and "title"); the project document also gives
// "objectID". Defaults mean "not handled": no results, nothing done on a choice.
class DMSearchFieldDataSource
{
public:
    virtual ~DMSearchFieldDataSource() = default;

    virtual QVariantList searchResultsForField(DMSearchField *) { return {}; }
    // The user chose a result; the data source dismisses the list itself when it is done.
    virtual void searchFieldDidSelectItem(DMSearchField *, const QVariant &) {}
};
