#include "DMProjectViewDateForPoint.h"

#include "DMProject_DisplayAttributes.h"

#include <cmath>

DMDate DMProjectView_dateForCanvasX(const DMProject_DisplayAttributes &attributes, double x)
{
    const DMDate origin = attributes.timeSpanBeginDate;
    if (origin.isNull() || !(attributes.pixelsPerDay > 0.0f) || !std::isfinite(x))
        return DMDate();
    const double d = double(float(x / attributes.pixelsPerDay));
    if (d == 0.0)
        return origin;
    const double b = attributes.dayViewBeginMinute;
    const double e = attributes.dayViewEndMinute;
    double k = 0.0;
    double minutes = 0.0;
    if (d > 0.0) {
        k = std::floor(d);
        minutes = b + (e - b) * (d - k);
    } else {
        k = std::ceil(d);
        minutes = b - 1440.0 + (e - b) * (d + 1.0 - k);
    }
    const double seconds = minutes * 60.0 + k * 86400.0;
    return origin.dateByAddingSeconds(qint64(seconds));
}
