#include "DMDateCellPreferences.h"

#include "DMDatePickerCell.h"
#include "DMDatePickerElements.h"
#include "DMOutlineViewDelegate.h"
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

void DMDateCellPreferences_prepareCell(DMOutlineCell &cell)
{
    auto *dateCell = qobject_cast<DMDatePickerCell *>(cell.dataCell);
    if (!dateCell)
        return;
    const QColor color = DMDateCellPreferences_dateColor();
    if (color.isValid())
        cell.textColor = color;
    dateCell->setDatePickerElements(DMDateCellPreferences_datePickerElements());
}
