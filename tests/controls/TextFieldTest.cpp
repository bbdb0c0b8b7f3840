// Formatter-following fields and cells: a new formatter announced for theirs is taken and the same
// value shown in it, negative amounts included; one announced for another formatter changes nothing.
// The currency formatter's texts.
#include "ControlsTestSupport.h"

#include "DMBeep.h"
#include "DMCurrencyFormatter.h"
#include "DMNotificationCenter.h"
#include "DMTextField.h"
#include "DMTextFieldCell.h"

#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <cmath>

namespace {

// Amounts with a unit; negatives shown in parentheses, as bookkeeping does, and read back so.
class AmountFormatter : public DMFormatter
{
public:
    explicit AmountFormatter(QString unit) : m_unit(std::move(unit)) {}

    QString stringForObjectValue(const QVariant &value) const override
    {
        const double amount = value.toDouble();
        const QString digits = m_unit + QLatin1Char(' ') + QString::number(std::fabs(amount), 'f', 2);
        return amount < 0 ? QLatin1Char('(') + digits + QLatin1Char(')') : digits;
    }
    bool getObjectValueForString(QVariant *value, const QString &text) const override
    {
        QString s = text.trimmed();
        const bool negative = (s.startsWith(QLatin1Char('(')) && s.endsWith(QLatin1Char(')'))) || s.contains('-');
        s.remove(QLatin1Char('(')).remove(QLatin1Char(')')).remove(QLatin1Char('-')).remove(m_unit);
        bool ok = false;
        const double amount = s.trimmed().toDouble(&ok);
        if (!ok)
            return false;
        *value = negative ? -amount : amount;
        return true;
    }

private:
    QString m_unit;
};

void announce(const std::shared_ptr<DMFormatter> &oldFormatter, const std::shared_ptr<DMFormatter> &newFormatter)
{
    DMNotificationCenter::defaultCenter().postNotification(
        kDMTextField_UpdateFormatter_Notification, oldFormatter.get(),
        {{QStringLiteral("new formatter"), QVariant::fromValue(newFormatter)},
         {QStringLiteral("old formatter"), QVariant::fromValue(oldFormatter)}});
}

} // namespace

TEST(TextField, FollowsTheAnnouncedFormatterKeepingTheValueAndItsSign)
{
    const std::shared_ptr<DMFormatter> euro = std::make_shared<AmountFormatter>(QStringLiteral("EUR"));
    const std::shared_ptr<DMFormatter> dollar = std::make_shared<AmountFormatter>(QStringLiteral("USD"));
    const std::shared_ptr<DMFormatter> other = std::make_shared<AmountFormatter>(QStringLiteral("GBP"));
    DMTextField field;
    field.setFormatter(euro);
    field.setObjectValue(-1234.5);
    EXPECT_EQ(field.text(), QStringLiteral("(EUR 1234.50)"));

    announce(other, dollar); // about another formatter: nothing changes
    EXPECT_EQ(field.formatter(), euro);
    EXPECT_EQ(field.text(), QStringLiteral("(EUR 1234.50)"));

    announce(euro, dollar);
    EXPECT_EQ(field.formatter(), dollar);
    EXPECT_EQ(field.text(), QStringLiteral("(USD 1234.50)"));
    EXPECT_EQ(field.objectValue().toDouble(), -1234.5);

    // A value the user typed is what the next format shows.
    field.selectAll();
    QTest::keyClicks(&field, QStringLiteral("-12.25"));
    EXPECT_EQ(field.objectValue().toDouble(), -12.25);
    announce(dollar, euro);
    EXPECT_EQ(field.text(), QStringLiteral("(EUR 12.25)"));
    EXPECT_EQ(field.objectValue().toDouble(), -12.25);
}

TEST(TextFieldCell, ShowsAndEditsThroughTheAnnouncedFormatter)
{
    const std::shared_ptr<DMFormatter> euro = std::make_shared<AmountFormatter>(QStringLiteral("EUR"));
    const std::shared_ptr<DMFormatter> dollar = std::make_shared<AmountFormatter>(QStringLiteral("USD"));
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), -40.0, Qt::EditRole);
    QTableView view;
    auto *cell = new DMTextFieldCell(&view);
    cell->setFormatter(euro);
    view.setItemDelegate(cell);
    view.setModel(&model);

    EXPECT_EQ(cell->displayText(model.index(0, 0).data(), QLocale()), QStringLiteral("(EUR 40.00)"));
    announce(euro, dollar);
    EXPECT_EQ(cell->displayText(model.index(0, 0).data(), QLocale()), QStringLiteral("(USD 40.00)"));

    // Editing writes the number read by the formatter; an unreadable text beeps and changes
    // nothing.
    const int beeps = DMBeep_count();
    QLineEdit editor;
    cell->setEditorData(&editor, model.index(0, 0));
    EXPECT_EQ(editor.text(), QStringLiteral("(USD 40.00)"));
    editor.setText(QStringLiteral("USD -7.5"));
    cell->setModelData(&editor, &model, model.index(0, 0));
    EXPECT_EQ(model.index(0, 0).data().toDouble(), -7.5);
    EXPECT_EQ(DMBeep_count(), beeps);
    editor.setText(QStringLiteral("seven"));
    cell->setModelData(&editor, &model, model.index(0, 0));
    EXPECT_EQ(model.index(0, 0).data().toDouble(), -7.5);
    EXPECT_EQ(DMBeep_count(), beeps + 1);
}

TEST(CurrencyFormatter, ShowsTheUnitAndTheSignedNumber)
{
    const DMCurrencyFormatter euro(QStringLiteral("€"), QLocale::c());
    EXPECT_EQ(euro.stringForNumber(-5.0), QStringLiteral("€ -5.00"));
    EXPECT_EQ(euro.stringForNumber(1234.5), QStringLiteral("€ 1,234.50"));
    EXPECT_EQ(euro.stringForNumber(0.125), QStringLiteral("€ 0.13")); // halves away from zero
    EXPECT_EQ(euro.stringForNumber(-0.001), QStringLiteral("€ 0.00"));
    EXPECT_EQ(euro.numberFromString(QStringLiteral("€ -1,234.50")), -1234.5);
    EXPECT_EQ(euro.numberFromString(QStringLiteral("12")), 12.0);
    EXPECT_FALSE(euro.numberFromString(QStringLiteral("twelve")));
    // A unit is text, never a number format: "%" does not multiply by 100.
    const DMCurrencyFormatter percent(QStringLiteral("%"), QLocale::c());
    EXPECT_EQ(percent.stringForNumber(5.0), QStringLiteral("% 5.00"));
    EXPECT_EQ(percent.numberFromString(QStringLiteral("% 5.00")), 5.0);
}

TEST(CurrencyFormatter, ReadsGroupSeparatorsOnlyWhereTheLocalePutsThem)
{
    // The other decimal mark is refused, never read as a number ten times larger.
    const DMCurrencyFormatter dollar(QStringLiteral("$"), QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_FALSE(dollar.numberFromString(QStringLiteral("12,5")));
    EXPECT_FALSE(dollar.numberFromString(QStringLiteral("1,2,3")));
    EXPECT_FALSE(dollar.numberFromString(QStringLiteral("1 234.50")));
    EXPECT_EQ(dollar.numberFromString(QStringLiteral("$ 1,234,567.89")), 1234567.89);
    EXPECT_EQ(dollar.numberFromString(QStringLiteral("1234.5")), 1234.5);
    const DMCurrencyFormatter euro(QStringLiteral("€"), QLocale(QLocale::German, QLocale::Germany));
    EXPECT_FALSE(euro.numberFromString(QStringLiteral("12.5")));
    EXPECT_EQ(euro.numberFromString(QStringLiteral("€ -1.234,50")), -1234.5);
    EXPECT_EQ(euro.numberFromString(euro.stringForNumber(98765.43)), 98765.43);
    const DMCurrencyFormatter franc(QStringLiteral("CHF"), QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(franc.numberFromString(franc.stringForNumber(1234.5)), 1234.5);
    EXPECT_EQ(franc.numberFromString(QStringLiteral("1 234,5")), 1234.5); // a plain space for its group mark
}
