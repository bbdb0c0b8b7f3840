#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

#include <memory>

// Turns an object value (a number, a date) into the text a control shows and back. The
// formatter-following text field and cell hold one and swap it when a new one is announced.
class DMFormatter
{
public:
    virtual ~DMFormatter() = default;

    virtual QString stringForObjectValue(const QVariant &value) const = 0;
    // False when the text does not read; *value is then left alone.
    virtual bool getObjectValueForString(QVariant *value, const QString &text) const = 0;
};

Q_DECLARE_METATYPE(std::shared_ptr<DMFormatter>)
