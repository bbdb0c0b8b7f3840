#pragma once

#include <QWidget>

// The search field's results window and its content: a white panel with rounded corners (radius
// 6, one point inside its bounds) holding the results table.
class DMSearchFieldContainerView : public QWidget
{
    Q_OBJECT

public:
    explicit DMSearchFieldContainerView(QWidget *parent = nullptr);

    // The rounded shape everything is drawn in, for a panel of the given size.
    static QRectF clipRect(const QSize &size);
    static constexpr qreal kCornerRadius = 6;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
};
