#pragma once

#include <QByteArray>
#include <QList>
#include <QSizeF>
#include <QString>

#include <functional>

class QPainter;

// PDF data of pages drawn in points, each page of its own size, with the title in its document
// information. drawPage draws page `index` with the painter counting in points from the page's
// top-left corner, and answers whether to go on; when it stops, or the writer cannot start, the
// data is empty (an error says why, except for a stop, whose reason is the caller's).
QByteArray DMPDFData(const QList<QSizeF> &pageSizes, const std::function<bool(QPainter &, int index)> &drawPage,
                     const QString &title, QString *error = nullptr);
