#include "DMProgressViewFamily.h"

DMProgressView2::DMProgressView2(QWidget *parent)
    : DMProgressView(parent)
{
    setImagesNamed(QStringLiteral("BACK_PROGRESS_FULL_BLUE_LIGHT"), QStringLiteral("BACK_PROGRESS_EMPTY_GREEN"));
}

DMProgressView3::DMProgressView3(QWidget *parent)
    : DMProgressView(parent)
{
    setImagesNamed(QStringLiteral("BACK_PROGRESS_FULL_ORANGE"), QStringLiteral("BACK_PROGRESS_EMPTY_WHITE"));
}

DMProgressView4::DMProgressView4(QWidget *parent)
    : DMProgressView(parent)
{
    setImagesNamed(QStringLiteral("BACK_PROGRESS_FULL_ORANGE2"), QStringLiteral("BACK_PROGRESS_EMPTY_WHITE"));
}

DMProgressViewBlocksGreen::DMProgressViewBlocksGreen(QWidget *parent)
    : DMProgressView(parent)
{
    setImagesNamed(QStringLiteral("BACK_PROGRESS_FULL_GREEN_BLOCKS"), QStringLiteral("BACK_PROGRESS_EMPTY_BLOCKS"));
    setCapWidths(0, 0);
    setMarkerTitlePosition(1);
}

DMProgressViewBlocksOrange::DMProgressViewBlocksOrange(QWidget *parent)
    : DMProgressView(parent)
{
    setImagesNamed(QStringLiteral("BACK_PROGRESS_FULL_ORANGE_BLOCKS"), QStringLiteral("BACK_PROGRESS_EMPTY_BLOCKS"));
    setCapWidths(0, 0);
    setMarkerTitlePosition(1);
}

DMProgressViewThin::DMProgressViewThin(QWidget *parent)
    : DMProgressView(parent)
{
    setImagesNamed(QStringLiteral("BACK_PROGRESS_FULL_BLUE_THIN"), QStringLiteral("BACK_PROGRESS_EMPTY_WHITE_THIN"));
    setCapWidths(8, 8);
    setTicksCount(0);
    setDisplayValueMarker(false);
    setMarkersAtTop(false);
}
