#pragma once

#include <QImage>
#include <QLineF>
#include <QList>
#include <QTimer>
#include <QWidget>

// An indeterminate spinner in white: twelve spokes, a white head and a fading grey tail, turning a
// step every 0.1 s while animating.
class WhiteSpinningProgressIndicator : public QWidget
{
    Q_OBJECT

public:
    static constexpr double kStep = 0.088888888888888;

    struct Spoke
    {
        QLineF line;
        QColor color;
    };
    struct Geometry
    {
        QPointF center;
        qreal outerRadius = 0;
        qreal innerRadius = 0;
        qreal lineWidth = 0;
    };
    // The size of everything follows the smaller side s: radii 0.38 s and 0.23 s from 32 points
    // up, else 0.48 s and 0.27 s; lines 0.08 s wide. flipped: y grows downwards (Qt's way).
    static Geometry geometry(const QRectF &rect);
    static QList<Spoke> spokes(const QRectF &rect, double value, bool flipped = true);

    explicit WhiteSpinningProgressIndicator(QWidget *parent = nullptr);

    double value() const { return m_value; }
    void setValue(double value);
    bool isAnimating() const { return m_animTimer.isActive(); }
    bool isDisplayedWhenStopped() const { return m_displayedWhenStopped; }
    void setDisplayedWhenStopped(bool displayed);

    void startAnimation();
    void stopAnimation();
    // One turn step: the value goes on by kStep and back to 0 when it reaches 1.
    void advance();

    // A still image of the spinner at value 0 (kept), or at any value (made afresh).
    QImage image();
    QImage imageWithValue(double value) const;
    void drawSpokes(QPainter &painter, const QRectF &rect, double value) const;

    QSize sizeHint() const override { return {32, 32}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    double m_value = 0;
    bool m_displayedWhenStopped = true;
    QImage m_image;
    QTimer m_animTimer; // a member: it stops when the indicator goes
};
