#pragma once

#include <QImage>
#include <QString>

// The images of the Gantt objects, drawn by generators registered with DMImageLibrary on first
// use: "locked", "attached", the link handle "DMUIProjectItem_DependencyHandle3", the progress
// slider "DMUIProjectItem_ProgressHandle", the gloss of plain bars and the event icon "ic_events".
class DMGanttImages
{
public:
    static inline const QString kGlossImageName = QStringLiteral("DMUIProjectItem_Gloss");

    // Registers the generators once, then asks the library.
    static QImage imageNamed(const QString &name);
    static void registerGenerators();
};
