#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPointer>

#include <QColorDialog>

// A colour well with its own bezel: a light bezel while it is active (its colour panel is open),
// a groove otherwise, around its colour inset by 2 on every side. A click activates it and opens
// the colour panel; every colour chosen there becomes the well's colour and is reported with
// colorChanged. One well is active at a time.
class DMColorWell : public QAbstractButton
{
    Q_OBJECT

public:
    static inline const QString kBezelImageName = QStringLiteral("DMColorWell_Bezel");
    static inline const QString kGrooveImageName = QStringLiteral("DMColorWell_Groove");

    explicit DMColorWell(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &color); // reports nothing
    bool isActive() const { return m_colorPanel != nullptr; }
    void activate();
    void deactivate();

    QSize sizeHint() const override;

signals:
    void colorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color = Qt::white;
    QPointer<QColorDialog> m_colorPanel;
};
