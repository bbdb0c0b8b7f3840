#include "DMColorAdditions.h"

#include <algorithm>
#include <cmath>

namespace {

bool componentValue(const QVariant &value, float *out)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        break;
    default:
        return false;
    }
    const double number = value.toDouble();
    if (!std::isfinite(number))
        return false;
    *out = float(std::clamp(number, 0.0, 1.0));
    return true;
}

} // namespace

namespace {

QColor bestTextColor(const QColor &color, qreal alpha)
{
    if (color.isValid()) {
        const QColor rgb = color.toRgb();
        const double luminance = double(rgb.alphaF()) / 3.0
            * (0.75 * (double(rgb.redF()) + double(rgb.blueF())) + 1.5 * double(rgb.greenF()));
        if (luminance <= 0.49) {
            QColor white(Qt::white);
            white.setAlphaF(float(std::clamp(1.6 * alpha, 0.0, 1.0)));
            return white;
        }
    }
    QColor black(Qt::black);
    black.setAlphaF(float(std::clamp(alpha, 0.0, 1.0)));
    return black;
}

} // namespace

QColor DMBestTextColorForBackgroundColor(const QColor &color, qreal alpha)
{
    // Every bar asks for its text colours when made and when its fill changes, and bars share a
    // few fills: the last answers are kept (per thread, so the function stays safe to share).
    // A new bar asks for three fills at two strengths: room for all of them.
    struct Answer
    {
        QColor color;
        qreal alpha = 0;
        QColor text;
    };
    constexpr int kKept = 8;
    static thread_local Answer answers[kKept];
    static thread_local int next = 0;
    for (const Answer &answer : answers)
        if (answer.text.isValid() && answer.alpha == alpha && answer.color == color)
            return answer.text;
    Answer &answer = answers[next];
    next = (next + 1) % kKept;
    answer = {color, alpha, bestTextColor(color, alpha)};
    return answer.text;
}

QVariantMap componentsDictionary(const QColor &color)
{
    if (!color.isValid())
        return {};
    const QColor rgb = color.toRgb();
    return {{QStringLiteral("r"), double(rgb.redF())},
            {QStringLiteral("g"), double(rgb.greenF())},
            {QStringLiteral("b"), double(rgb.blueF())},
            {QStringLiteral("a"), double(rgb.alphaF())}};
}

QColor colorWithComponentsDictionary(const QVariantMap &components)
{
    float r = 0, g = 0, b = 0, a = 1;
    if (!componentValue(components.value(QStringLiteral("r")), &r)
        || !componentValue(components.value(QStringLiteral("g")), &g)
        || !componentValue(components.value(QStringLiteral("b")), &b))
        return {};
    if (components.contains(QStringLiteral("a")) && !componentValue(components.value(QStringLiteral("a")), &a))
        return {};
    return QColor::fromRgbF(r, g, b, a);
}
