#include "DMAttachedWindow.h"

#include "DMBlurredView.h"
#include "DMDesktopCompositing.h"
#include "DMNotificationCenter.h"

#include <QApplication>
#include <QBitmap>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QShortcut>

#include <algorithm>
#include <cmath>

namespace {

// The geometry is worked out with y up from the bottom of the main screen; Qt's global
// coordinates have y down from its top. The flip is its own inverse.
qreal mainScreenHeight()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().y() + screen->geometry().height() : 0;
}

QPointF flipped(QPointF point)
{
    return {point.x(), mainScreenHeight() - point.y()};
}

QRectF flipped(const QRectF &rect)
{
    return {rect.x(), mainScreenHeight() - rect.y() - rect.height(), rect.width(), rect.height()};
}

QRect rounded(const QRectF &rect)
{
    return QRect(int(std::round(rect.x())), int(std::round(rect.y())), int(std::round(rect.width())),
                 int(std::round(rect.height())));
}

// The shadow: the box's shape, blurred, a little below it.
constexpr float kShadowBlurRadius = 6;
constexpr int kShadowOffset = 3;
constexpr float kShadowAlpha = 0.4f;
// Where nothing is translucent, a plain shadow just below and right of the box.
const QPointF kPlainShadowOffset(1, 2);

// The colour of a shadow over what usually lies behind a popover, the application's windows.
QColor plainShadowColor()
{
    const QColor behind = QApplication::palette().window().color();
    const auto darken = [](int channel) { return int(std::lround(channel * (1 - kShadowAlpha))); };
    return QColor(darken(behind.red()), darken(behind.green()), darken(behind.blue()));
}

} // namespace

QMargins DMAttachedWindow::shadowMargins()
{
    const int reach = int(std::ceil(kShadowBlurRadius));
    return QMargins(reach, reach - kShadowOffset, reach, reach + kShadowOffset);
}

DMAttachedWindow::DMAttachedWindow(QWidget *view, QPointF point, QWidget *window, int side, qreal distance)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint),
      m_view(view), m_window(window), m_point(point), m_side(side), m_distance(float(distance))
{
    setAttribute(Qt::WA_TranslucentBackground);
    m_drawsTranslucent = DMDesktop_drawsTranslucentWindows();
    if (view) {
        resize(view->size());
        view->setParent(this);
        view->show();
    }
    resolveAutomaticSide();
    redisplay();
    // The Close command of the document windows does not reach a separate top-level window.
    new QShortcut(QKeySequence::Close, this, this, &DMAttachedWindow::performClose);
}

DMAttachedWindowMetrics DMAttachedWindow::metrics() const
{
    DMAttachedWindowMetrics m;
    m.viewSize = m_view ? QSizeF(m_view->size()) : QSizeF(0, 0);
    m.viewMargin = m_viewMargin;
    m.arrowBaseWidth = m_arrowBaseWidth;
    m.arrowHeight = m_arrowHeight;
    m.cornerRadius = m_cornerRadius;
    m.hasArrow = m_hasArrow;
    m.drawsRoundCornerBesideArrow = m_drawsRoundCornerBesideArrow;
    m.distance = m_distance;
    return m;
}

QPointF DMAttachedWindow::screenPoint() const
{
    return flipped(m_window ? m_window->mapToGlobal(m_point) : m_point);
}

void DMAttachedWindow::resolveAutomaticSide()
{
    if (m_side != kDMAttachedWindowSide_Automatic && m_side != kDMAttachedWindowSide_AutomaticVertical)
        return;
    const QScreen *screen = m_window && m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    const QRectF visible = screen ? flipped(QRectF(screen->availableGeometry())) : QRectF();
    const QRectF parent = m_window ? flipped(QRectF(m_window->window()->frameGeometry())) : visible;
    m_side = DMAttachedWindow_bestSide(metrics(), m_side, screenPoint(), visible, parent);
}

void DMAttachedWindow::updateAttachedGeometry()
{
    const DMAttachedWindowLayout layout = DMAttachedWindow_layout(metrics(), m_side, screenPoint());
    m_viewFrame = layout.viewFrame;
    const QMargins margins = shadowMargins();
    setGeometry(rounded(flipped(layout.frame)).marginsAdded(margins));
    if (m_view) {
        const QRectF view = layout.viewFrame;
        m_view->setGeometry(rounded(QRectF(view.x() + margins.left(),
                                           layout.frame.height() - view.y() - view.height() + margins.top(),
                                           view.width(), view.height())));
    }
}

void DMAttachedWindow::updateBackground()
{
    const QSize size = frame().size();
    const qreal ratio = devicePixelRatioF();
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(0, size.height());
        painter.scale(1, -1);
        const QPainterPath outline = DMAttachedWindow_backgroundPath(metrics(), m_side, m_viewFrame);
        painter.setClipPath(outline);
        // A pattern image stays upright under the flip.
        QBrush fill = m_backgroundColor;
        fill.setTransform(QTransform(1, 0, 0, -1, 0, size.height()));
        painter.fillPath(outline, fill);
        // Twice the width, half of it clipped away: the visible border lies inside the outline.
        if (m_borderWidth > 0)
            painter.strokePath(outline, QPen(m_borderColor, 2 * m_borderWidth, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    }
    m_background = image;
    m_windowImageIsStale = true;
    updateShape();
    if (isVisible())
        update();
}

QPainterPath DMAttachedWindow::outlineInWindow() const
{
    const QMargins margins = shadowMargins();
    const QTransform flip(1, 0, 0, -1, margins.left(), margins.top() + frame().height());
    return flip.map(DMAttachedWindow_backgroundPath(metrics(), m_side, m_viewFrame));
}

void DMAttachedWindow::updateShape()
{
    if (m_drawsTranslucent) {
        clearMask();
        return;
    }
    const QPainterPath outline = outlineInWindow();
    QBitmap shape(size());
    shape.fill(Qt::color0);
    QPainter painter(&shape);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    painter.drawPath(outline);
    painter.drawPath(outline.translated(kPlainShadowOffset));
    painter.end();
    setMask(shape);
}

const QImage &DMAttachedWindow::windowImage()
{
    if (!m_windowImageIsStale)
        return m_windowImage;
    m_windowImageIsStale = false;
    const qreal ratio = devicePixelRatioF();
    QImage image(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    const QMargins margins = shadowMargins();
    const QPainterPath outline = outlineInWindow();
    if (m_drawsTranslucent) {
        image.fill(Qt::transparent);
        QPainter shadow(&image);
        shadow.setRenderHint(QPainter::Antialiasing);
        shadow.fillPath(outline.translated(0, kShadowOffset), QColor::fromRgbF(0, 0, 0, kShadowAlpha));
        shadow.end();
        image = DMBlurredView::filteredImage(image, 1.0f, float(kShadowBlurRadius * ratio));
        image.setDevicePixelRatio(ratio);
    } else {
        // Every pixel inside the shape is opaque: what it is drawn over is the shape's own.
        image.fill(QApplication::palette().window().color());
        QPainter shadow(&image);
        shadow.fillPath(outline.translated(kPlainShadowOffset), plainShadowColor());
    }
    QPainter painter(&image);
    painter.drawImage(QPointF(margins.left(), margins.top()), m_background);
    painter.end();
    m_windowImage = image;
    return m_windowImage;
}

void DMAttachedWindow::redisplay()
{
    if (m_resizing)
        return;
    m_resizing = true;
    setUpdatesEnabled(false);
    updateAttachedGeometry();
    updateBackground();
    setUpdatesEnabled(true);
    m_resizing = false;
}

void DMAttachedWindow::setPointSide(QPointF point, int side)
{
    m_point = point;
    m_side = side;
    resolveAutomaticSide();
    redisplay();
}

void DMAttachedWindow::setBackgroundColor(const QColor &color)
{
    if (m_backgroundColor == QBrush(color))
        return;
    m_backgroundColor = color;
    updateBackground();
}

void DMAttachedWindow::setBackgroundImage(const QImage &image)
{
    if (image.isNull())
        return;
    m_backgroundColor = QBrush(image);
    updateBackground();
}

void DMAttachedWindow::setBorderColor(const QColor &color)
{
    if (m_borderColor == color)
        return;
    m_borderColor = color;
    updateBackground();
}

void DMAttachedWindow::setBorderWidth(float width)
{
    if (width == m_borderWidth)
        return;
    m_borderWidth = std::min(width, m_viewMargin);
    updateBackground();
}

void DMAttachedWindow::setViewMargin(float margin)
{
    if (margin == m_viewMargin)
        return;
    m_viewMargin = std::max(margin, 0.0f);
    setCornerRadius(m_cornerRadius);
}

void DMAttachedWindow::setCornerRadius(float radius)
{
    const float smallerSide = float(std::min(m_viewFrame.width(), m_viewFrame.height()));
    const float largest = (2 * m_viewMargin + smallerSide - m_arrowBaseWidth) / 2;
    m_cornerRadius = std::max(0.0f, std::min(radius, largest));
    setArrowBaseWidth(m_arrowBaseWidth);
}

void DMAttachedWindow::setArrowBaseWidth(float width)
{
    const float smallerSide = float(std::min(m_viewFrame.width(), m_viewFrame.height()));
    float largest = 2 * m_viewMargin + smallerSide - m_cornerRadius;
    if (m_drawsRoundCornerBesideArrow)
        largest -= m_cornerRadius;
    m_arrowBaseWidth = std::min(width, largest);
    redisplay();
}

void DMAttachedWindow::setArrowHeight(float height)
{
    if (height == m_arrowHeight)
        return;
    m_arrowHeight = height;
    redisplay();
}

void DMAttachedWindow::setHasArrow(bool hasArrow)
{
    if (hasArrow == m_hasArrow)
        return;
    m_hasArrow = hasArrow;
    updateBackground();
}

void DMAttachedWindow::setDrawsRoundCornerBesideArrow(bool flag)
{
    if (flag == m_drawsRoundCornerBesideArrow)
        return;
    m_drawsRoundCornerBesideArrow = flag;
    redisplay();
}

void DMAttachedWindow::setPopoverStyle(const QColor &boxColor)
{
    setBorderColor(QColor::fromRgbF(1, 1, 1, 0.75f));
    setBackgroundColor(boxColor);
    setViewMargin(3);
    setBorderWidth(1);
    setCornerRadius(6);
    setHasArrow(true);
    setDrawsRoundCornerBesideArrow(true);
    setArrowBaseWidth(28);
    setArrowHeight(16);
}

void DMAttachedWindow::orderOut()
{
    DMNotificationCenter::defaultCenter().postNotification(kWillOrderOutNotification, this);
    hide();
}

void DMAttachedWindow::performClose()
{
    if (m_window)
        m_window->window()->close();
    else
        close();
}

void DMAttachedWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, windowImage());
}

void DMAttachedWindow::showEvent(QShowEvent *event)
{
    // A compositing manager may have started or stopped since the window was last shown.
    const bool translucent = DMDesktop_drawsTranslucentWindows();
    if (translucent != m_drawsTranslucent) {
        m_drawsTranslucent = translucent;
        m_windowImageIsStale = true;
        updateShape();
    }
    QWidget::showEvent(event);
}

void DMAttachedWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    redisplay();
}
