#include "DMCurrencyFormatter.h"

#include <cmath>

DMCurrencyFormatter::DMCurrencyFormatter(const QString &unit, const QLocale &locale, Grouping grouping)
    : m_unit(unit.trimmed()), m_locale(locale)
{
    if (grouping == Grouping::Grouped)
        m_locale.setNumberOptions(m_locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    else
        m_locale.setNumberOptions(m_locale.numberOptions() | QLocale::OmitGroupSeparator);
}

QString DMCurrencyFormatter::stringForNumber(double value) const
{
    if (!std::isfinite(value))
        return QString();
    // Round halves away from zero, and never show "-0.00".
    double rounded = std::round(value * 100.0) / 100.0;
    if (rounded == 0.0)
        rounded = 0.0;
    const QString number = m_locale.toString(rounded, 'f', 2);
    return m_unit.isEmpty() ? number : m_unit + QLatin1Char(' ') + number;
}

std::optional<double> DMCurrencyFormatter::numberFromString(const QString &text) const
{
    QString s = text.trimmed();
    if (!m_unit.isEmpty() && s.startsWith(m_unit))
        s = s.mid(m_unit.size()).trimmed();
    if (s.isEmpty())
        return std::nullopt;
    // The locale reads its group separators only where it puts them: under en_US "12,5" is no
    // number at all, never 125.
    bool ok = false;
    const double value = m_locale.toDouble(s, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString DMCurrencyFormatter::stringForObjectValue(const QVariant &value) const
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? stringForNumber(number) : QString();
}

bool DMCurrencyFormatter::getObjectValueForString(QVariant *value, const QString &text) const
{
    const std::optional<double> number = numberFromString(text);
    if (!number)
        return false;
    if (value)
        *value = *number;
    return true;
}
