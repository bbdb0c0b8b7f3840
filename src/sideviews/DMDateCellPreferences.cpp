#include "DMDateCellPreferences.h"

#include "DMDatePickerElements.h"
#include "DMObjectSerialization.h"
#include "DMUserDefaults.h"

QColor DMDateCellPreferences_dateColor()
{
    const QVariant decoded =
        DMObjectSerialization::decode(DMUserDefaults::standardUserDefaults().objectForKey(kDMHalcyra_DefaultDateColor));
    return decoded.metaType() == QMetaType::fromType<QColor>() ? decoded.value<QColor>() : QColor();
}

int DMDateCellPreferences_datePickerElements()
{
    if (DMUserDefaults::standardUserDefaults().boolForKey(kDMHalcyra_DisableHourDisplay))
        return kDMDatePickerElement_YearMonthDay;
    return kDMDatePickerElement_YearMonthDay | kDMDatePickerElement_HourMinute;
}
