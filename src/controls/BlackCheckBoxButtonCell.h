#pragma once

#include <QCheckBox>

// A dark check box, or radio button when it belongs to an exclusive button group: a rounded box
// (a circle for a radio button) 1.66 times the font size, filled with the black gradient and
// outlined in the text colour, a check mark or dot when on, and its title in white (light grey
// when disabled, with a faint grey fill in the box).
class BlackCheckBoxButtonCell : public QCheckBox
{
    Q_OBJECT

public:
    explicit BlackCheckBoxButtonCell(const QString &title = QString(), QWidget *parent = nullptr);

    bool isRadio() const;
    // The box at the left, centred vertically in the frame.
    QRectF boxRect(const QRectF &frame) const;
    QColor titleColor() const;

    void drawWithFrame(QPainter &painter, const QRectF &frame) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
};
