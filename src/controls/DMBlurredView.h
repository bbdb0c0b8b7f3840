#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

// A view whose background is what lies behind it (its parent's own drawing and the sibling
// views below it), with its colour saturation raised and blurred, under a tint. Its own
// children draw sharply on top.
class DMBlurredView : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(float blurRadius READ blurRadius WRITE setBlurRadius)
    Q_PROPERTY(float saturationFactor READ saturationFactor WRITE setSaturationFactor)
    Q_PROPERTY(QColor tintColor READ tintColor WRITE setTintColor)

public:
    explicit DMBlurredView(QWidget *parent = nullptr);

    QColor tintColor() const { return m_tintColor; }
    void setTintColor(const QColor &color); // an invalid colour keeps the current tint
    float blurRadius() const { return m_blurRadius; }
    void setBlurRadius(float radius);
    float saturationFactor() const { return m_saturationFactor; }
    void setSaturationFactor(float factor);

    // The backdrop through the view's two filters in their order: saturation (1 keeps the
    // colours, 0 makes them grey), then a Gaussian blur of that radius (0 leaves it sharp).
    static QImage filteredImage(const QImage &image, float saturationFactor, float blurRadius);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage backdrop(int margin) const;

    float m_saturationFactor = 2.0f;
    float m_blurRadius = 20.0f;
    QColor m_tintColor = QColor::fromRgbF(1, 1, 1, 0.7f);
};
