#pragma once

#include "DMArchivedObject.h"

#include <QDateTime>

// An alert of the earlier planner's documents, as a decoding target.
class ZQAlert : public DMArchivedObject
{
public:
    void initWithCoder(const DMArchiveCoder &coder) override;

    QString alertName() const { return m_alertName; }
    QDateTime alertStartHour() const { return m_alertStartHour; }
    QDateTime alertEndHour() const { return m_alertEndHour; }

private:
    QString m_alertName;
    QDateTime m_alertStartHour;
    QDateTime m_alertEndHour;
};
