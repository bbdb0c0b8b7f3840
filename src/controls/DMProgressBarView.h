#pragma once

#include <QColor>
#include <QWidget>

// A vector-drawn rounded progress bar: background, border, inner padding, an optional inner
// border around the fill, and the fill. Its value is a fraction from 0 to 1 (clamped); even at 0
// the fill shows a stub as wide as the bar is high, so the bar never looks empty of its colour.
class DMProgressBarView : public QWidget
{
    Q_OBJECT

public:
    explicit DMProgressBarView(QWidget *parent = nullptr);

    static QColor defaultBarColor(); // dark grey

    double doubleValue() const { return m_value; }
    void setDoubleValue(double value);

    // Every setter stores its value and redraws. An invalid colour leaves that part out.
    double barBorderWidth() const { return m_barBorderWidth; }
    void setBarBorderWidth(double width);
    QColor barBorderColor() const { return m_barBorderColor; }
    void setBarBorderColor(const QColor &color);
    double barInnerBorderWidth() const { return m_barInnerBorderWidth; }
    void setBarInnerBorderWidth(double width);
    QColor barInnerBorderColor() const { return m_barInnerBorderColor; }
    void setBarInnerBorderColor(const QColor &color);
    double barInnerPadding() const { return m_barInnerPadding; }
    void setBarInnerPadding(double padding);
    QColor barFillColor() const { return m_barFillColor; }
    void setBarFillColor(const QColor &color);
    QColor barBackgroundColor() const { return m_barBackgroundColor; }
    void setBarBackgroundColor(const QColor &color);
    bool usesRoundedCorners() const { return m_usesRoundedCorners; }
    void setUsesRoundedCorners(bool rounded);

    // What is drawn inside the given bounds; a part whose colour (or width) is missing is empty.
    struct Shape
    {
        QRectF rect;
        qreal radius = 0;
    };
    struct Layout
    {
        Shape background;
        Shape border;      // stroked with the border width
        Shape innerBorder; // stroked with the inner border width
        Shape fill;
    };
    Layout layout(const QRectF &bounds) const;
    void drawBar(QPainter &painter, const QRectF &bounds) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    template <typename T>
    void setAndRedraw(T &field, const T &value);

    double m_barBorderWidth = 2;
    QColor m_barBorderColor = defaultBarColor();
    double m_barInnerBorderWidth = 0;
    QColor m_barInnerBorderColor;
    double m_barInnerPadding = 2;
    QColor m_barFillColor = QColor::fromRgbF(0.154f, 0.91f, 0.21f, 1.0f);
    QColor m_barBackgroundColor = defaultBarColor();
    bool m_usesRoundedCorners = true;
    double m_value = 0;
};
