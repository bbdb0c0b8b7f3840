#pragma once

#include <QPushButton>

// A dark push button: a charcoal capsule (lighter for the default button) under a soft black
// gradient, a black drop edge and a white outline, and its title in white bold with a shadow.
class BlackButtonCell : public QPushButton
{
    Q_OBJECT

public:
    explicit BlackButtonCell(const QString &title = QString(), QWidget *parent = nullptr);

    // The body: the frame inset by 3 and 1, 10 points lower; the outline: inset by 2.5 and 0.5,
    // 10 points lower. Both are capsules.
    static QRectF shapeRect(const QRectF &frame);
    static QRectF bezelRect(const QRectF &frame);

    // The default button drawn lighter: the default one, while enabled.
    bool drawsAsDefault() const { return isDefault() && isEnabled(); }

    void drawGradientWithFrame(QPainter &painter, const QRectF &frame) const;
    void drawBezelWithFrame(QPainter &painter, const QRectF &frame) const;
    void drawInteriorWithFrame(QPainter &painter, const QRectF &frame) const;
    // The bezel, then the interior.
    void drawWithFrame(QPainter &painter, const QRectF &frame) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
