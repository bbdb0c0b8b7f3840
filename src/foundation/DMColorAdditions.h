#pragma once

#include <QColor>
#include <QVariantMap>

// Black with the given alpha, or white with alpha min(1, 1.6 * alpha) when the colour is dark
// enough for white text: a/3 * (0.75 * (r + b) + 1.5 * g) <= 0.49 with the colour's own alpha a.
// An invalid colour gives black. Every valid QColor converts to RGB, so none counts as non-RGB.
QColor DMBestTextColorForBackgroundColor(const QColor &color, qreal alpha);

// The colour as {"r", "g", "b", "a"} reals from 0 to 1; empty for an invalid colour.
QVariantMap componentsDictionary(const QColor &color);

// The inverse of componentsDictionary: "r", "g" and "b" must be numbers, "a" is 1 when absent;
// components are clamped to 0...1. An invalid colour when a component is missing, not a number
// or not finite.
QColor colorWithComponentsDictionary(const QVariantMap &components);
