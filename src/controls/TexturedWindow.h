#pragma once

#include <QImage>
#include <QMainWindow>

// A main window whose title and toolbar area (the band above its central widget) shows a grey
// gradient, darker at the bottom of the band and lighter at its top. Its tool bars and menu bar
// draw the band in place of their own background.
class TexturedWindow : public QMainWindow
{
    Q_OBJECT

public:
    static inline const QString kGradientImageName = QStringLiteral("TexturedWindow_UnifiedToolbarGradient");

    explicit TexturedWindow(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    // 20 x 77, opaque: grey 0.5 up to 0.1 of the height from the bottom, rising to grey 0.9 at
    // 0.9 of it and above.
    QImage unifiedToolbarGradientImage() const { return m_unifiedToolbarGradientImage; }
    // The band above the central widget; empty without one.
    QRect toolbarBand() const;
    // The part of the gradient image stretched over a band of that height: the image's full width
    // and the band's height from its bottom (all of it for a taller band).
    static QRectF gradientSourceRect(const QImage &gradient, int bandHeight);

    // Draws the part of the band that lies under the widget (a tool bar or menu bar of this
    // window), in the widget's coordinates.
    void drawBandUnderWidget(QPainter *painter, const QWidget *widget) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void childEvent(QChildEvent *event) override;

private:
    void drawBand(QPainter *painter) const;

    QImage m_unifiedToolbarGradientImage;
    QStyle *m_bandStyle;
};
