#pragma once

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QRectF>
#include <QStringView>
#include <QTimeZone>

// The archived forms of the foundation's values that keyed archives hold as plain data.

// A colour from the components of an archived colour: "NSColorSpace" 1 or 2 with "NSRGB"
// ("r g b [a]"), 3 or 4 with "NSWhite" ("w [a]"), 5 with "NSCMYK" ("c m y k [a]"), given as the
// raw bytes of those keys. Components are clamped to 0...1. An invalid colour when the space is
// unknown or the text is not numbers.
QColor DMArchive_colorWithComponents(int colorSpace, const QByteArray &rgb, const QByteArray &white,
                                     const QByteArray &cmyk);

// "{{x, y}, {w, h}}" as a rectangle; false for any other text.
bool DMArchive_rectFromString(QStringView text, QRectF *rect);

// An archived date: seconds since 2001-01-01 00:00:00 UTC, as the wall-clock date and time in
// the zone (the local one when the zone is invalid). An invalid QDateTime for a value that is
// not finite or lies beyond year 9999.
QDateTime DMArchive_dateWithReferenceSeconds(double seconds, const QTimeZone &zone = QTimeZone());
