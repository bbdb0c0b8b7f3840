#pragma once

#include <QString>

// The unsigned number formed by the characters read as decimal digits, a non-digit counting as
// the digit 0; 0 for an empty string. Wraps modulo 2^64 like any unsigned arithmetic. Only a
// number: callers map it to their own handles, never to memory.
quint64 pointerValue(const QString &text);

// The text with '"', '&', '<' and '>' as the entities quot, amp, lt and gt and every character
// above U+009F as a decimal character reference "&#N;" (U+0080...U+009F pass unchanged). A
// character outside the Basic Multilingual Plane is one reference of its code point; a lone
// surrogate, which no markup can carry, becomes "&#65533;" (the replacement character). Returns
// the text itself when nothing changes; a null string gives a null string.
QString stringWithHTMLEntities(const QString &text);

// The value with that many decimals, a blank and a localized unit: "B" below 1024, "KB" (value
// / 1024) from 1024, "MB" from 1024^2 and "GB" from 1024^3. Halves round away from zero.
QString dataStringForValue(int decimals, double value);

// "%.1f" and a localized unit: "B/s" below 1000, "KB/s" (rate / 1000) from 1000, "MB/s"
// (rate / 1000000) from 1000000. Halves round away from zero.
QString dataRateStringForRate(float bytesPerSecond);

// A file name made from a title: no "/", no "..", no leading dot, no control characters, at
// most 200 bytes; the fallback when nothing is left; then the extension.
QString fileNameForTitle(const QString &title, const QString &fallback, const QString &extension);
