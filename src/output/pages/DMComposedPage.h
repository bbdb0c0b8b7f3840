#pragma once

#include "DMViewCompositor.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPainter;

// One composed page: its size in points and what a compositor draws on it. The entries share
// the recorded pictures, so a page costs little until it is drawn, and draws as vectors.
struct DMComposedPage
{
    QSizeF size;
    QList<DMViewCompositorEntry> entries;

    // Draws the page with the painter's units taken as points, origin at the page's top left.
    void draw(QPainter *painter) const;
    // The page as a picture of one pixel a point (sizes truncated), white below, antialiased;
    // null, with the reason, when the page is empty or too large for an image.
    QImage image(QString *error = nullptr) const;

    // The pages as one PDF document with the title, each page its own size. afterPage is told
    // each page written (from 0) and stops the writing by returning false; the result is then
    // empty.
    static QByteArray dataWithPDFOfPages(const QList<DMComposedPage> &pages, const QString &title,
                                         const std::function<bool(int page)> &afterPage = {}, QString *error = nullptr);
    // The pages on a printer or PDF writer whose page layout the caller set: each page drawn at
    // the top left of the paper, one point a point. False, with the reason, when the device
    // refuses.
    static bool printPages(const QList<DMComposedPage> &pages, QPagedPaintDevice *device, QString *error = nullptr);
};
