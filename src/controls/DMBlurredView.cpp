#include "DMBlurredView.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Luminance weights of the colour-controls saturation.
constexpr float kRed = 0.2125f, kGreen = 0.7154f, kBlue = 0.0721f;

void saturate(QImage &image, float factor)
{
    if (factor == 1.0f)
        return;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            const float r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
            const float luminance = kRed * r + kGreen * g + kBlue * b;
            const auto channel = [&](float c) {
                return std::clamp(int(std::lround(luminance + factor * (c - luminance))), 0, qAlpha(pixel));
            };
            line[x] = qRgba(channel(r), channel(g), channel(b), qAlpha(pixel));
        }
    }
}

// One pass of a separable Gaussian, along rows (horizontal) or columns, edges clamped.
void blurPass(const QImage &source, QImage &target, const std::vector<float> &kernel, bool horizontal)
{
    const int reach = int(kernel.size() / 2);
    const int width = source.width(), height = source.height();
    for (int y = 0; y < height; ++y) {
        auto *out = reinterpret_cast<QRgb *>(target.scanLine(y));
        for (int x = 0; x < width; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (int k = -reach; k <= reach; ++k) {
                const int sx = horizontal ? std::clamp(x + k, 0, width - 1) : x;
                const int sy = horizontal ? y : std::clamp(y + k, 0, height - 1);
                const QRgb pixel = reinterpret_cast<const QRgb *>(source.constScanLine(sy))[sx];
                const float weight = kernel[k + reach];
                sum[0] += weight * qRed(pixel);
                sum[1] += weight * qGreen(pixel);
                sum[2] += weight * qBlue(pixel);
                sum[3] += weight * qAlpha(pixel);
            }
            out[x] = qRgba(int(std::lround(sum[0])), int(std::lround(sum[1])), int(std::lround(sum[2])),
                           int(std::lround(sum[3])));
        }
    }
}

void blur(QImage &image, float radius)
{
    if (radius <= 0 || image.isNull())
        return;
    const float sigma = radius / 2;
    const int reach = int(std::ceil(3 * sigma));
    std::vector<float> kernel(2 * reach + 1);
    float total = 0;
    for (int k = -reach; k <= reach; ++k)
        total += kernel[k + reach] = std::exp(-(k * k) / (2 * sigma * sigma));
    for (float &weight : kernel)
        weight /= total;
    QImage across(image.size(), image.format());
    blurPass(image, across, kernel, true);
    blurPass(across, image, kernel, false);
}

} // namespace

DMBlurredView::DMBlurredView(QWidget *parent) : QWidget(parent) {}

void DMBlurredView::setTintColor(const QColor &color)
{
    if (!color.isValid())
        return;
    m_tintColor = color;
    update();
}

void DMBlurredView::setBlurRadius(float radius)
{
    m_blurRadius = std::max(radius, 0.0f);
    update();
}

void DMBlurredView::setSaturationFactor(float factor)
{
    m_saturationFactor = factor;
    update();
}

QImage DMBlurredView::filteredImage(const QImage &image, float saturationFactor, float blurRadius)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    saturate(result, saturationFactor);
    blur(result, blurRadius);
    return result;
}

// What lies behind the view, grown by the margin on every side so that the blur has real
// pixels to draw in at the view's edges: the parent's own drawing and the siblings below.
QImage DMBlurredView::backdrop(int margin) const
{
    const QRect area = geometry().adjusted(-margin, -margin, margin, margin);
    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QWidget *parent = parentWidget();
    if (!parent)
        return image;
    QPainter painter(&image);
    parent->render(&painter, -area.topLeft(), QRegion(area), QWidget::DrawWindowBackground);
    for (QObject *child : parent->children()) {
        if (child == this)
            break; // children are kept bottom to top; the ones after this view are above it
        auto *sibling = qobject_cast<QWidget *>(child);
        if (!sibling || sibling->isWindow() || sibling->isHidden() || !sibling->geometry().intersects(area))
            continue;
        sibling->render(&painter, sibling->pos() - area.topLeft(), QRegion(),
                        QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    return image;
}

void DMBlurredView::paintEvent(QPaintEvent *)
{
    const int margin = int(std::ceil(1.5f * m_blurRadius));
    const QImage filtered = filteredImage(backdrop(margin), m_saturationFactor, m_blurRadius);
    QPainter painter(this);
    painter.drawImage(QPoint(-margin, -margin), filtered);
    painter.fillRect(rect(), m_tintColor);
}
