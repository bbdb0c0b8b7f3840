#include "DMCSVText.h"

#include "DMDate.h"

QString DMCSV_field(const QString &text)
{
    QString field = text;
    field.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + field + QLatin1Char('"');
}

QString DMCSV_line(const QStringList &fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        line += DMCSV_field(fields.at(i));
    }
    return line + QLatin1String("\r\n");
}

QString DMCSV_dateText(const DMDate &date)
{
    if (date.isNull())
        return QString();
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", date.year(), date.month(), date.day(), date.hour(),
                             date.minute(), date.second());
}
