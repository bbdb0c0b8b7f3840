#pragma once

#include <QString>

// One sort key and its direction, as an outline's column header hands it to its data source.
struct DMSortDescriptor
{
    QString key;
    bool ascending = true;

    bool operator==(const DMSortDescriptor &) const = default;
};
