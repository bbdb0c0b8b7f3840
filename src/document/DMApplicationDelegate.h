#pragma once

#include "DMObservable.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantList>

#include <vector>

class QWidget;

// The application delegate: writes the default preferences when it is made, applies the
// default-colour, autosave and title-size preferences from before launch completes and whenever
// they change, opens the files given at launch, and keeps the welcome window up while no document
// is open.
class DMApplicationDelegate : public QObject
{
    Q_OBJECT

public:
    DMApplicationDelegate();
    ~DMApplicationDelegate() override;

    void applicationWillFinishLaunching();
    // Opens the files named on the command line; shows the welcome window when none opened.
    void applicationDidFinishLaunching(const QStringList &files);

    // The outline columns: {"identifier", "checked"} in display order, from the user default
    // kDMHalcyra_taskListArrangedColumnIdentifiers.
    static QVariantList taskListArrangedColumnDictionaries();
    // Stores the arrangement with the column hidden or shown, and applies it to every document.
    static void setTaskListColumnHidden(const QString &identifier, bool hidden);

    // The preferences as the running application uses them.
    static void applyDefaultColors();
    static void applyAutosavePreference();
    // The item title size: every bar of every open document takes it.
    static void applyProjectViewFontSize();

private:
    std::vector<DMObservation> m_observations;
};
