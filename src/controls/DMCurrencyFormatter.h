#pragma once

#include "DMFormatter.h"

#include <QLocale>
#include <QMetaType>
#include <QString>

#include <memory>
#include <optional>

// Amounts in the project's currency: the unit, a space and the signed number with grouping and
// two decimals ("€ -1,234.50"). The unit is literal text: a unit such as "%" never changes the
// number. Reading is lenient with what can be left out (the unit, spaces around the number,
// grouping separators), strict with what is there: a grouping separator is read only where the
// locale puts one, so a text using the other decimal mark is refused.
class DMCurrencyFormatter : public DMFormatter
{
public:
    // Files that other programs read take amounts without grouping ("1234.50"): a reader that
    // splits at commas would cut "1,234.50" in two.
    enum class Grouping { Grouped, Ungrouped };

    explicit DMCurrencyFormatter(const QString &unit, const QLocale &locale = QLocale(),
                                 Grouping grouping = Grouping::Grouped);

    // A value that is no number shows as empty text; a text that does not read gives no value.
    QString stringForObjectValue(const QVariant &value) const override;
    bool getObjectValueForString(QVariant *value, const QString &text) const override;

    QString unit() const { return m_unit; }
    QString stringForNumber(double value) const;
    std::optional<double> numberFromString(const QString &text) const;

private:
    QString m_unit;
    QLocale m_locale;
};

Q_DECLARE_METATYPE(std::shared_ptr<DMCurrencyFormatter>)
