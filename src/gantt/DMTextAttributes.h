#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

// Font, colour and paragraph style of a text drawn on the canvas.
struct DMTextAttributes
{
    QFont font;
    QColor foregroundColor = Qt::black;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool truncatesTail = false;

    // The size the text takes, lines broken only at its line breaks.
    QSizeF sizeOfString(const QString &text) const;
    // Draws the text in the rectangle, clipped to it (with an ellipsis when truncatesTail).
    void drawStringInRect(QPainter *painter, const QString &text, const QRectF &rect) const;

    // The small system font of the canvas texts.
    static QFont smallSystemFont(qreal pointSize = 11.0);
};
