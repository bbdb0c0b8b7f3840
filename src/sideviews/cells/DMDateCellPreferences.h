#pragma once

#include <QColor>
#include <QString>

struct DMOutlineCell;

// The preferences that decide how the side views' date cells look.
inline const QString kDMHalcyra_DefaultDateColor = QStringLiteral("kDMHalcyra_DefaultDateColor"); // archived colour
inline const QString kDMHalcyra_DisableHourDisplay = QStringLiteral("kDMHalcyra_DisableHourDisplay"); // bool: no time of day

// The text colour of date cells; invalid when the stored value is no colour.
QColor DMDateCellPreferences_dateColor();
// The date-picker elements of date cells: the date alone with the hour display disabled, else the
// date with hours and minutes.
int DMDateCellPreferences_datePickerElements();
// A date cell about to be drawn takes the colour and the elements; other cells are left alone.
void DMDateCellPreferences_prepareCell(DMOutlineCell &cell);
