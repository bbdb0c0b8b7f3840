#include "DMColorWell.h"

#include "DMDrawingAdditions.h"
#include "DMImageLibrary.h"

#include <QColorDialog>
#include <QLinearGradient>
#include <QPainter>

namespace {

constexpr qreal kBezelInset = 4;

QPointer<DMColorWell> gActiveWell;

// A 12 x 12 nine-part frame: a light raised bezel, or a darker sunken groove.
QImage drawFrame(bool raised)
{
    QImage image(12, 12, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    QLinearGradient face(0, 0, 0, 12);
    face.setColorAt(0, raised ? QColor(252, 252, 252) : QColor(170, 170, 170));
    face.setColorAt(1, raised ? QColor(222, 222, 222) : QColor(200, 200, 200));
    p.fillRect(QRect(0, 0, 12, 12), face);
    p.setPen(raised ? QColor(150, 150, 150) : QColor(110, 110, 110));
    p.drawRect(QRectF(0.5, 0.5, 11, 11));
    p.setPen(raised ? QColor(255, 255, 255) : QColor(140, 140, 140));
    p.drawLine(QPointF(1.5, 1.5), QPointF(10.5, 1.5));
    return image;
}

void registerImages()
{
    static const bool registered = [] {
        DMImageLibrary::registerGenerator(DMColorWell::kBezelImageName, [] { return drawFrame(true); });
        DMImageLibrary::registerGenerator(DMColorWell::kGrooveImageName, [] { return drawFrame(false); });
        return true;
    }();
    (void)registered;
}

} // namespace

DMColorWell::DMColorWell(QWidget *parent) : QAbstractButton(parent)
{
    registerImages();
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, [this] { isActive() ? deactivate() : activate(); });
}

void DMColorWell::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void DMColorWell::activate()
{
    if (isActive())
        return;
    if (gActiveWell && gActiveWell != this)
        gActiveWell->deactivate();
    gActiveWell = this;
    m_colorPanel = new QColorDialog(m_color, this);
    m_colorPanel->setOption(QColorDialog::ShowAlphaChannel);
    m_colorPanel->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_colorPanel, &QColorDialog::currentColorChanged, this, [this](const QColor &color) {
        if (!color.isValid() || color == m_color)
            return;
        setColor(color);
        emit colorChanged(color);
    });
    connect(m_colorPanel, &QDialog::finished, this, [this] { deactivate(); });
    m_colorPanel->show();
    update();
}

void DMColorWell::deactivate()
{
    if (!m_colorPanel)
        return;
    QColorDialog *panel = m_colorPanel;
    m_colorPanel = nullptr;
    panel->disconnect(this);
    panel->close();
    update();
}

QSize DMColorWell::sizeHint() const
{
    return {44, 23};
}

void DMColorWell::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF bounds = rect();
    DMDrawImageInRectWithEdgeInsets(&painter, DMImageLibrary::imageNamed(isActive() ? kBezelImageName : kGrooveImageName),
                                    bounds, {kBezelInset, kBezelInset, kBezelInset, kBezelInset});
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.fillRect(bounds.adjusted(2, 2, -2, -2), m_color);
}
