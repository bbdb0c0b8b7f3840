#include "DMProjectViewDateForPoint.h"

#include "DMProject_DisplayAttributes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float kMinimumPixelsPerDay = 0.1f;

} // namespace

DMDate DMProjectView_dateForCanvasX(const DMProject_DisplayAttributes &attributes, double x)
{
    const DMDate origin = attributes.timeSpanBeginDate;
    if (origin.isNull() || !std::isfinite(x))
        return DMDate();
    const float pixelsPerDay = std::isfinite(attributes.pixelsPerDay) ? std::max(attributes.pixelsPerDay, kMinimumPixelsPerDay)
                                                                      : kMinimumPixelsPerDay;
    const double d = double(float(x / pixelsPerDay));
    const double b = attributes.dayViewBeginMinute;
    const double e = attributes.dayViewEndMinute;
    double k = 0.0;
    double minutes = 0.0;
    if (d >= 0.0) {
        k = std::floor(d);
        minutes = b + (e - b) * (d - k);
    } else {
        k = std::ceil(d);
        minutes = b - 1440.0 + (e - b) * (d + 1.0 - k);
    }
    const double seconds = minutes * 60.0 + k * 86400.0;
    if (std::abs(seconds) > double(std::numeric_limits<qint64>::max() / 2))
        return DMDate();
    return origin.dateByAddingSeconds(qint64(seconds));
}
