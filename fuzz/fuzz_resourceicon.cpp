// Links: hy_sideviews_popovers
// Feeds arbitrary bytes to the reader of a resource's picture, which takes a picture file the
// user picks and the photo of a vCard: whatever the format claims of its size, the result is no
// picture or one that fits the icon, made without unbounded memory or time.
#include "DMProjectResourceEditorController.h"
#include "FuzzSupport.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    installQuietMessageHandler();
    // Some formats (SVG text) need the application's fonts.
    static int argc = 1;
    static char name[] = "fuzz_resourceicon";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    Q_UNUSED(application);
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QImage icon = DMProjectResourceEditorController::iconImageWithData(bytes);
    constexpr int side = DMProjectResourceEditorController::kIconSize;
    if (!icon.isNull() && (icon.width() > side || icon.height() > side || icon.width() < 1 || icon.height() < 1))
        std::abort();
    return 0;
}
