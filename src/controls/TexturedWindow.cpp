#include "TexturedWindow.h"

#include "DMImageLibrary.h"

#include <QChildEvent>
#include <QLinearGradient>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <QToolBar>

#include <algorithm>

namespace {

QImage drawGradient()
{
    QImage image(20, 77, QImage::Format_RGB32);
    QPainter painter(&image);
    // From y = 0 to 76 counted upwards, that is from the bottom row to the top row.
    QLinearGradient gradient(0, 76, 0, 0);
    gradient.setColorAt(0.1, QColor::fromRgbF(0.5f, 0.5f, 0.5f));
    gradient.setColorAt(0.9, QColor::fromRgbF(0.9f, 0.9f, 0.9f));
    gradient.setSpread(QGradient::PadSpread);
    painter.fillRect(image.rect(), gradient);
    return image;
}

// The application's style for the window's bars, except their backgrounds: the band instead.
class BandStyle : public QProxyStyle
{
public:
    explicit BandStyle(TexturedWindow *window) : m_window(window) { setParent(window); }

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element == PE_PanelMenuBar || element == PE_PanelToolBar)
            m_window->drawBandUnderWidget(painter, widget);
        else
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        switch (element) {
        case CE_ToolBar:
        case CE_MenuBarEmptyArea:
            m_window->drawBandUnderWidget(painter, widget);
            return;
        case CE_MenuBarItem:
            // The item draws its text (and its highlight) over the band, not over a plain fill.
            m_window->drawBandUnderWidget(painter, widget);
            if (const auto *menuItem = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
                QStyleOptionMenuItem item(*menuItem);
                item.palette.setBrush(QPalette::Window, Qt::transparent);
                QProxyStyle::drawControl(element, &item, painter, widget);
            }
            return;
        default:
            QProxyStyle::drawControl(element, option, painter, widget);
        }
    }

private:
    TexturedWindow *m_window;
};

} // namespace

TexturedWindow::TexturedWindow(QWidget *parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags), m_bandStyle(new BandStyle(this))
{
    static const bool registered = [] {
        DMImageLibrary::registerGenerator(kGradientImageName, drawGradient);
        return true;
    }();
    (void)registered;
    m_unifiedToolbarGradientImage = DMImageLibrary::imageNamed(kGradientImageName);
}

QRect TexturedWindow::toolbarBand() const
{
    const QWidget *content = centralWidget();
    if (!content)
        return {};
    return QRect(0, 0, width(), content->geometry().top());
}

QRectF TexturedWindow::gradientSourceRect(const QImage &gradient, int bandHeight)
{
    const int height = std::clamp(bandHeight, 0, gradient.height());
    return QRectF(0, gradient.height() - height, gradient.width(), height);
}

void TexturedWindow::drawBand(QPainter *painter) const
{
    const QRect band = toolbarBand();
    if (band.isEmpty())
        return;
    painter->save();
    painter->setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter->drawImage(QRectF(band), m_unifiedToolbarGradientImage,
                       gradientSourceRect(m_unifiedToolbarGradientImage, band.height()));
    painter->restore();
}

void TexturedWindow::drawBandUnderWidget(QPainter *painter, const QWidget *widget) const
{
    if (!painter || !widget)
        return;
    painter->save();
    painter->setClipRect(widget->rect(), Qt::IntersectClip);
    painter->translate(-widget->mapTo(this, QPoint(0, 0)));
    drawBand(painter);
    painter->restore();
}

void TexturedWindow::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    QPainter painter(this);
    painter.setClipRect(event->rect());
    drawBand(&painter);
}

void TexturedWindow::childEvent(QChildEvent *event)
{
    QMainWindow::childEvent(event);
    if (event->type() != QEvent::ChildPolished)
        return;
    if (auto *bar = qobject_cast<QWidget *>(event->child()); bar && (qobject_cast<QToolBar *>(bar) || qobject_cast<QMenuBar *>(bar)))
        bar->setStyle(m_bandStyle);
}
