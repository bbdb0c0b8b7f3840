#pragma once

#include "DMProgressView.h"

// A rounded pill: the track image stretched over the whole view and the fill image clipped to a
// pill that grows from the left, never narrower than its height and not drawn below 0.1 %.
// No ticks and no value marker; markers below.
class DMProgressViewiPhone : public DMProgressView
{
    Q_OBJECT

public:
    explicit DMProgressViewiPhone(QWidget *parent = nullptr);

    // The pill the fill is clipped to, for a fraction of the range; empty below 0.1 %.
    static QRectF fillRect(const QRectF &bounds, qreal fraction);

    void drawProgress(QPainter &painter) const override;
};
