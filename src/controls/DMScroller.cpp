#include "DMScroller.h"

#include "DMControlsImages.h"
#include "DMIdleTimeout.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionSlider>

#include <algorithm>

namespace {

constexpr double kFadeDelay = 0.05;
constexpr double kFadeStepDelay = 0.01;
constexpr int kOpaqueTenths = 10;
constexpr qreal kArrowSize = 5.5;

struct ThreeImages
{
    QImage start;
    QImage middle;
    QImage end;
};

struct ScrollerImages
{
    ThreeImages slot;
    ThreeImages knob;
    QImage background;
};

ScrollerImages loadImages(bool horizontal)
{
    const auto image = [](const char *name) { return DMControlsImages::imageNamed(QString::fromLatin1(name)); };
    if (horizontal) {
        return {{image("HorizontalSlotEndLeft"), image("HorizontalSlotBackground"), image("HorizontalSlotEndRight")},
                {image("HorizontalKnobLeft"), image("HorizontalKnobCenter"), image("HorizontalKnobRight")},
                image("ArrowBackgroundHorizontal")};
    }
    return {{image("VerticalSlotEndTop"), image("VerticalSlotBackground"), image("VerticalSlotEndBottom")},
            {image("VerticalKnobTop"), image("VerticalKnobCenter"), image("VerticalKnobBottom")},
            image("ArrowBackground")};
}

// Loaded once per process for each direction.
const ScrollerImages &images(bool horizontal)
{
    static const ScrollerImages vertical = loadImages(false);
    static const ScrollerImages across = loadImages(true);
    return horizontal ? across : vertical;
}

qreal lengthOf(const QImage &image, bool horizontal)
{
    const QSizeF size = image.deviceIndependentSize();
    return horizontal ? size.width() : size.height();
}

void drawThreeImages(QPainter &painter, const QRectF &rect, bool horizontal, const ThreeImages &three,
                     bool middleAloneWhenShort)
{
    const auto pieces = DMScroller::threePartLayout(rect, horizontal, lengthOf(three.start, horizontal),
                                                    lengthOf(three.end, horizontal), middleAloneWhenShort);
    for (const DMScroller::Piece &piece : pieces) {
        const QImage &image = piece.part == DMScroller::Part::Start ? three.start
                              : piece.part == DMScroller::Part::End ? three.end
                                                                    : three.middle;
        painter.drawImage(piece.rect, image);
    }
}

// A white triangle (grey when highlighted) centred in the arrow's rectangle, pointing towards the
// scroller's start (decrement) or end.
void drawArrow(QPainter &painter, const QRectF &rect, bool horizontal, bool decrement, bool highlighted)
{
    const QPointF c = rect.center();
    const qreal half = kArrowSize / 2;
    const qreal tip = decrement ? -half : half;
    QPolygonF triangle;
    if (horizontal)
        triangle << QPointF(c.x() + tip, c.y()) << QPointF(c.x() - tip, c.y() - half) << QPointF(c.x() - tip, c.y() + half);
    else
        triangle << QPointF(c.x(), c.y() + tip) << QPointF(c.x() - half, c.y() - tip) << QPointF(c.x() + half, c.y() - tip);
    painter.setPen(Qt::NoPen);
    painter.setBrush(highlighted ? QColor(Qt::gray) : QColor(Qt::white));
    painter.drawPolygon(triangle);
}

} // namespace

DMScroller::DMScroller(Qt::Orientation orientation, QWidget *parent)
    : QScrollBar(orientation, parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

DMScroller::~DMScroller()
{
    destroyPendingIdleInvocations(this);
}

QList<DMScroller::Piece> DMScroller::threePartLayout(const QRectF &rect, bool horizontal, qreal startLength,
                                                     qreal endLength, bool middleAloneWhenShort)
{
    const qreal length = horizontal ? rect.width() : rect.height();
    if (middleAloneWhenShort && length < startLength + endLength)
        return {{Part::Middle, rect}};
    // Ends that do not fit share the length in proportion.
    if (startLength + endLength > length && startLength + endLength > 0) {
        const qreal factor = std::max<qreal>(0, length) / (startLength + endLength);
        startLength *= factor;
        endLength *= factor;
    }
    if (horizontal) {
        return {{Part::Start, QRectF(rect.x(), rect.y(), startLength, rect.height())},
                {Part::Middle, QRectF(rect.x() + startLength, rect.y(), length - startLength - endLength, rect.height())},
                {Part::End, QRectF(rect.right() - endLength, rect.y(), endLength, rect.height())}};
    }
    return {{Part::Start, QRectF(rect.x(), rect.y(), rect.width(), startLength)},
            {Part::Middle, QRectF(rect.x(), rect.y() + startLength, rect.width(), length - startLength - endLength)},
            {Part::End, QRectF(rect.x(), rect.bottom() - endLength, rect.width(), endLength)}};
}

void DMScroller::sliderChange(SliderChange change)
{
    if (change == SliderValueChange)
        raiseKnobSlotAlpha();
    QScrollBar::sliderChange(change);
}

void DMScroller::raiseKnobSlotAlpha()
{
    m_knobSlotTenths = std::min(m_knobSlotTenths + 1, kOpaqueTenths);
    performSelectorAfterIdleTimeout(this, "_decreaseKnobSlotAlpha", [this] { decreaseKnobSlotAlpha(); }, kFadeDelay);
    update();
}

void DMScroller::decreaseKnobSlotAlpha()
{
    m_knobSlotTenths = std::max(m_knobSlotTenths - 1, 0);
    if (m_knobSlotTenths > 0)
        performSelectorAfterIdleTimeout(this, "_decreaseKnobSlotAlpha", [this] { decreaseKnobSlotAlpha(); },
                                        kFadeStepDelay);
    update();
}

void DMScroller::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawScroller(painter);
}

void DMScroller::drawScroller(QPainter &painter) const
{
    const bool horizontal = isHoriz();
    const ScrollerImages &art = images(horizontal);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(rect()), art.background);

    QStyleOptionSlider option;
    initStyleOption(&option);
    const auto partRect = [&](QStyle::SubControl part) {
        return QRectF(style()->subControlRect(QStyle::CC_ScrollBar, &option, part, this));
    };
    painter.setOpacity(knobSlotAlpha());
    drawThreeImages(painter, partRect(QStyle::SC_ScrollBarGroove), horizontal, art.slot, false);
    painter.setOpacity(1);

    const bool usable = isEnabled() && maximum() > minimum();
    if (usable) {
        drawThreeImages(painter, partRect(QStyle::SC_ScrollBarSlider), horizontal, art.knob, horizontal);
        const QRectF decrement = partRect(QStyle::SC_ScrollBarSubLine);
        const QRectF increment = partRect(QStyle::SC_ScrollBarAddLine);
        if (!decrement.isEmpty() && !increment.isEmpty()) {
            painter.setRenderHint(QPainter::Antialiasing);
            drawArrow(painter, decrement, horizontal, true, false);
            drawArrow(painter, increment, horizontal, false, false);
        }
    }
    painter.restore();
}

DMScrollView::DMScrollView(QWidget *parent)
    : QScrollArea(parent)
{
    setVerticalScrollBar(new DMScroller(Qt::Vertical, this));
    setHorizontalScrollBar(new DMScroller(Qt::Horizontal, this));
}
