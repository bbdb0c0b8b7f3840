// Links: hy_formats
// Feeds arbitrary bytes to the days-off file reader. Every entry it keeps must be one the working
// calendar reads and the pane can show, edit and write back into a file that reads the same.
#include "DMDaysOffEntry.h"
#include "DMDaysOffFile.h"
#include "DMPropertyList.h"
#include "DMWorkingCalendar.h"
#include "FuzzSupport.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    installQuietMessageHandler();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    DMDaysOffFile::Contents contents;
    if (!DMDaysOffFile::readData(bytes, &contents))
        return 0;

    DMWorkingCalendar calendar;
    calendar.setDaysOff(contents.entries);
    for (const QVariant &value : contents.entries) {
        DMDaysOffEntry entry(value.toMap());
        // A kept entry names days that exist, and a dated one does not end before it starts.
        if (!entry.firstDate().isValid() || !entry.lastDate().isValid() || entry.lastDate() < entry.firstDate())
            std::abort();
        calendar.isWorkingDay(DMDate(entry.firstDate().year(), entry.firstDate().month(), entry.firstDate().day(), 0));
        entry.setRepeats(!entry.isYearly(), 2024);
        entry.setRepeats(!entry.isYearly(), 2024);
        if (!DMDaysOffEntry::validatedEntry(entry.dictionary()))
            std::abort();
    }

    // What was kept writes and reads back unchanged.
    const QVariantMap root{{DMDaysOffFile::kVersionKey, DMDaysOffFile::applicationVersion()},
                           {DMDaysOffFile::kDaysOffKey, contents.entries}};
    const QByteArray written = DMPropertyList::dataWithPropertyList(root);
    DMDaysOffFile::Contents again;
    if (written.isEmpty() || !DMDaysOffFile::readData(written, &again) || again.skippedCount != 0
        || again.entries != contents.entries)
        std::abort();
    return 0;
}
