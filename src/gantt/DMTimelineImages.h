#pragma once

#include <QImage>
#include <QString>

// The band artwork of the timeline header, drawn by generators registered with DMImageLibrary
// on first use: "fond-jour", "fond-semaine", "fond-mois" (column, week and month bands) and
// their highlighted forms with the suffix "-on". Each is a 16 x 19 cell meant to be drawn in
// nine parts.
class DMTimelineImages
{
public:
    static QImage imageNamed(const QString &name);
    static void registerGenerators();
};
