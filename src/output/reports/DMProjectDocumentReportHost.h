#pragma once

#include "DMDate.h"

#include <QString>
#include <QVariant>

#include <memory>

class QWidget;
class DMProject;
class DMReportPage;

// What the report controller needs of its document: the project, the document's formatters,
// the two report preferences, the report page's widgets and the window for alerts. The
// document implements it; the controller never holds the document itself.
class DMProjectDocumentReportHost
{
public:
    virtual ~DMProjectDocumentReportHost() = default;

    virtual std::shared_ptr<DMProject> project() const = 0;
    // sharedCurrencyFormatter: money in the project's currency, as the user reads it.
    virtual QString currencyString(double value) const = 0;
    // The same amount in a form that does not depend on the user's locale, without grouping,
    // for files ("EUR 4050.00").
    virtual QString fileCurrencyString(double value) const = 0;
    // sharedYMDDateFormatter and sharedHMSDateFormatter.
    virtual QString calendarDateString(const DMDate &date) const = 0;
    virtual QString timeOfDayString(const DMDate &date) const = 0;
    // The stored kDMHalcyra_DefaultReportHeaderColor (invalid when there is none) and
    // kDMHalcyra_PDFLogoPath (empty: no logo).
    virtual QVariant reportHeaderColor() const = 0;
    virtual QString reportLogoPath() const = 0;
    // The report page of the document window; null before the window exists.
    virtual DMReportPage *reportPage() const = 0;
    virtual QWidget *windowForSheet() const = 0;
};
