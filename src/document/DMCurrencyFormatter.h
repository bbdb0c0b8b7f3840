#pragma once

#include <QLocale>
#include <QMetaType>
#include <QString>

#include <memory>
#include <optional>

// Amounts in the project's currency: the unit, a space and the signed number with grouping and
// two decimals ("€ -1,234.50"). The unit is literal text: a unit such as "%" never changes the
// number. Reading is lenient: the unit, spaces and grouping separators may be left out.
class DMCurrencyFormatter
{
public:
    explicit DMCurrencyFormatter(const QString &unit, const QLocale &locale = QLocale());

    QString unit() const { return m_unit; }
    QString stringForNumber(double value) const;
    std::optional<double> numberFromString(const QString &text) const;

private:
    QString m_unit;
    QLocale m_locale;
};

Q_DECLARE_METATYPE(std::shared_ptr<DMCurrencyFormatter>)

// Posted by a document when the project's currency unit changes, with the old formatter as the
// object and the user info {"new formatter", "old formatter"} (std::shared_ptr values).
extern const QString kDMTextField_UpdateFormatter_Notification;
