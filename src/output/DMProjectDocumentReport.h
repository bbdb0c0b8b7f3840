#pragma once

#include "DMDate.h"
#include "DMProjectEnums.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class QComboBox;
class QProcess;
class QTemporaryDir;
class DMProject;
class DMProjectDocumentReportHost;
class DMProjectItem;
class DMProjectProcess;
class DMProjectResource;
class DMProjectTask;
class DMReportBody;
class DMReportPage;
struct DMReportColumns;

// The document's reports: the global report, the tasks-by-resource and tasks-by-process
// reports, the CSV rows of the export and the report mail. Owned by the document, which it
// reaches through its host (not owned; the document outlives it).
//
// Every build reads the model afresh. The shown report is written to a file in a private
// temporary folder, and the page's report view shows a document built from the same rows
// (DMReportDocument); the folder, with the report and mail files in it, goes with this
// controller, and the report files also when the page is left.
class DMProjectDocumentReport : public QObject
{
    Q_OBJECT

public:
    using ItemList = QList<std::shared_ptr<DMProjectItem>>;
    using ResourceList = QList<std::shared_ptr<DMProjectResource>>;

    explicit DMProjectDocumentReport(DMProjectDocumentReportHost *host);
    ~DMProjectDocumentReport() override;

    // What the source list does when it shows a report page (DMPage_isReport): the global report
    // runs; the two grouped reports set the date pickers to the given span, refill the pop-up and
    // run. The check boxes, the pop-up and the pickers then refresh the page shown. False for
    // other tags.
    bool showPageWithTag(int tag, const DMDate &spanBegin, const DMDate &spanEnd);
    // The report page left the window: the files of the shown report are removed.
    void pageDidHide();
    int shownPageTag() const { return m_shownPageTag; }
    // 0 while the global report is shown, 1 on the grouped pages.
    qint8 tasksByResourceReportMode() const { return m_mode; }
    // The temporary file of the report shown (empty when none).
    QString shownReportPath() const { return m_shownReportPath; }

    // ---- The global report (DMProjectDocumentReport.cpp) ----
    QString reportGenerateHTML();
    void reportRefresh();
    void globalReportRefresh() { reportRefresh(); }
    // The rows of the tasks among the items and all their descendants; the project cost grows
    // by the costs of the tasks whose cost is not taken from their resources (costs shown).
    void _reportGenerateHTML_tasksContentStringRowProjectCost(const ItemList &items, DMReportBody &content, int *row,
                                                             float *projectCost);
    // The rows of the resources (the members of groups, not the groups); every resource's cost
    // adds to the project cost.
    void _reportGenerateHTML_resourcesContentStringRowProjectCost(const ResourceList &resources, DMReportBody &content,
                                                                 int *row, float *projectCost);

    // ---- Tasks by resource and by process (DMProjectDocumentReport_Grouped.cpp) ----
    void tasksByResourceReportRefreshPopup();
    void tasksByProcessesReportRefreshPopup();
    void tasksByResourceReportRefresh();
    void tasksByProcessesReportRefresh();
    QString reportGenerateHTMLForResource(const DMProjectResource &resource);
    QString reportGenerateHTMLForProcess(const DMProjectProcess &process);
    // The chosen items (those within begin and end, both included) as rows; totalCost grows by
    // the cost of each task row when costs are shown.
    void _reportGenerateHTML_tasksForResourceContentStringRowProjectCostBeginDateEndDate(
        const DMProjectResource &resource, DMReportBody &content, int *row, float *totalCost, const DMDate &begin,
        const DMDate &end);
    void _reportGenerateHTML_tasksForProcessContentStringRowProjectCostBeginDateEndDate(
        const DMProjectProcess &process, DMReportBody &content, int *row, float *totalCost, const DMDate &begin,
        const DMDate &end);
    void generateReportsForTasksContentStringRowProjectCostTotalCost(ItemList items, DMReportBody &content, int *row,
                                                                     float *totalCost);
    // Plain resources before groups at every level, a group's members indented by four spaces
    // (a tab in a pop-up's title jumps to a distant tab stop); each entry's data is the object
    // ID. Groups are disabled entries after a separator.
    static void _tasksByResourceReport_rebuildResourceMenuFromResourcesArrayStoreInMenuNamePrefix(
        const ResourceList &resources, QComboBox *menu, const QString &prefix);
    // Every process of the item tree, depth first.
    static void _tasksByProcessesReport_rebuildProcessMenuFromItemArrayStoreInMenu(const ItemList &items, QComboBox *menu);

    // ---- CSV rows (DMProjectDocumentReport_CSV.cpp) ----
    // One line per task and milestone of the items and their descendants; the project cost grows
    // by their roll-up costs (not for tasks whose cost comes from their resources).
    void _reportGenerateCSV_tasksContentStringRowProjectCost(const ItemList &items, QString &content, int *row,
                                                            float *projectCost);
    // One line per resource (the members of groups, depth first); every resource's cost adds.
    void _reportGenerateCSV_resourcesContentStringRowProjectCost(const ResourceList &resources, QString &content,
                                                                int *row, float *projectCost);

    // ---- Mail (DMProjectDocumentReport_Mail.cpp) ----
    // Renders the shown report to a PDF and hands it with a subject and a short text to the
    // desktop's mail program ("xdg-email", found on PATH, started with an argument list). A PDF
    // that cannot be written or a mail program that fails is reported to the user.
    void reportSendByMail();
    // The project title; on a grouped page "Assignments for" the chosen resource or process.
    QString reportMailSubject() const;
    bool isSendingMail() const { return m_mailProcess != nullptr; }

private:
    void connectPage(DMReportPage *page);
    void refreshShownPage();
    // Writes the report's HTML to a new file of the private folder and shows the report; no body
    // empties the view. The previous report file goes.
    void showReport(const DMReportBody *body);
    DMReportBody globalReportBody();
    DMReportBody resourceReportBody(const DMProjectResource &resource);
    DMReportBody processReportBody(const DMProjectProcess &process);
    QString newTemporaryFilePath(const QString &stem, const QString &extension);
    void removeShownReportFile();
    // The columns the check boxes show (both without a page).
    DMReportColumns columns() const;
    // The pop-up emptied and filled again, its first enabled entry chosen.
    void refillPopUp(const std::function<void(QComboBox *, const DMProject &)> &fill);
    // Mode 1, the pop-up's label and the mail button of a grouped page.
    void prepareGroupedPage(const QString &popUpLabel);
    // A grouped report of the rows that writeRows appends for the pickers' dates, under a header
    // with the title, the completion and the cost: ownCost when given, else the rows' total.
    DMReportBody groupedReport(const QString &title, double progress, const float *ownCost,
                               const std::function<void(DMReportBody &, int *, float *, const DMDate &, const DMDate &)> &writeRows);
    // The object of the pop-up's selected entry (null when none, or gone).
    template <typename T>
    std::shared_ptr<T> selectedPopUpObject() const;
    void presentMailError(const QString &informativeText) const;

    // Texts shared by the report rows and the CSV lines.
    static QString assignedNames(const DMProjectTask &task);
    static QString baseRateText(const DMProjectResource &resource, const std::function<QString(double)> &currency);
    QString dateAndTimeText(const DMDate &date) const;
    // The roll-up cost of the item and its subitems.
    static float rollUpCost(const DMProjectItem &item);
    // Every resource of the list and of the groups below it, depth first (groups themselves are
    // not visited), with its progress, cost and info text; its cost is added to *projectCost.
    static void forEachResourceInGroups(
        const ResourceList &resources, float *projectCost,
        const std::function<void(const DMProjectResource &, float progress, float cost, const QString &info)> &visit);

    DMProjectDocumentReportHost *m_host;
    std::unique_ptr<QTemporaryDir> m_temporaryFolder;
    int m_fileCounter = 0;
    QString m_shownReportPath;
    int m_shownPageTag = DMPage::NoPage;
    qint8 m_mode = 0;
    QPointer<DMReportPage> m_connectedPage;
    QTimer m_pickerTimer; // refreshes a grouped page shortly after its dates changed
    QProcess *m_mailProcess = nullptr;
};
