#pragma once

#include "DMProjectEnums.h"
#include "DMReportBody.h"
#include "DMReportOptions.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QPagedPaintDevice;
class QProcess;
class QTemporaryDir;
class QTextDocument;
class DMProject;
class DMProjectDocumentReportHost;
class DMProjectItem;
class DMProjectProcess;
class DMProjectResource;
class DMReportPage;

// The document's reports: the report page with the global report and the tasks-by-resource and
// tasks-by-process reports, the report's PDF and printing, the CSV rows of the export and the
// report mail. Owned by the document, which it reaches through its host (not owned; the document
// outlives it).
//
// The page's controls are read into one DMReportOptions; the reports themselves are built by
// DMReportBuilder from the project and those options, reading the model afresh. The shown
// report is written to a file in a private temporary folder, and the page's report view shows a
// document built from the same rows (DMReportDocument); its PDF and its print are made from them
// too. The folder, with the report and mail files in it, goes with this controller, and the
// report files also when the page is left.
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

    // What the page's controls say: the shown page's report, the cost and completion columns,
    // the pop-up's resource or process and the pickers' dates. Without a page, both columns and
    // the project's dates.
    DMReportOptions options() const;
    // The document's formatters and report preferences.
    DMReportFormat format() const;

    // ---- Refreshing the page ----
    void reportRefresh();
    void globalReportRefresh() { reportRefresh(); }
    void tasksByResourceReportRefreshPopup();
    void tasksByProcessesReportRefreshPopup();
    void tasksByResourceReportRefresh();
    void tasksByProcessesReportRefresh();
    // Plain resources before groups at every level, a group's members indented by four spaces
    // (a tab in a pop-up's title jumps to a distant tab stop); each entry's data is the object
    // ID. Groups are disabled entries after a separator.
    static void _tasksByResourceReport_rebuildResourceMenuFromResourcesArrayStoreInMenuNamePrefix(
        const ResourceList &resources, QComboBox *menu, const QString &prefix);
    // Every process of the item tree, depth first.
    static void _tasksByProcessesReport_rebuildProcessMenuFromItemArrayStoreInMenu(const ItemList &items, QComboBox *menu);

    // ---- The reports' HTML, with the page's columns ----
    QString reportGenerateHTML();
    QString reportGenerateHTMLForResource(const DMProjectResource &resource);
    QString reportGenerateHTMLForProcess(const DMProjectProcess &process);

    // ---- CSV rows (DMReportBuilder), with the document's formats ----
    void _reportGenerateCSV_tasksContentStringRowProjectCost(const ItemList &items, QString &content, int *row,
                                                            float *projectCost);
    // The resources' costs are shares of the tasks' costs, already counted: no total.
    void _reportGenerateCSV_resourcesContentStringRow(const ResourceList &resources, QString &content, int *row);

    // ---- The shown report as pages (DMProjectDocumentReport_Output.cpp) ----
    // The shown report as a PDF on the shared paper, titled with the project's title: what the
    // export, the web export, sharing and the mail send. Laid out as it prints. Empty, with the
    // reason, when no report is shown or the PDF cannot be made.
    QByteArray pdfData(QString *error = nullptr) const;
    // Prints the shown report on the device as pdfData lays it out: at the width its content
    // needs, lines broken between words only, scaled down to the page. False, with the reason
    // when there is one, when no report is shown or the device cannot print.
    bool printOnDevice(QPagedPaintDevice *device, QString *error = nullptr) const;

    // ---- Mail (DMProjectDocumentReport_Output.cpp) ----
    // Hands the shown report's PDF with a subject and a short text to the desktop's mail program
    // ("xdg-email", found on PATH, started with an argument list). No report, a PDF that cannot
    // be written or a mail program that fails is reported to the user.
    void reportSendByMail();
    // The project title; on a grouped page "Assignments for" the chosen resource or process.
    QString reportMailSubject() const;
    bool isSendingMail() const { return m_mailProcess != nullptr; }

private:
    void connectPage(DMReportPage *page);
    void refreshShownPage();
    // Builds the report of the kind with the page's options and shows it.
    void refresh(DMReportOptions::Kind kind);
    // Writes the report's HTML to a new file of the private folder and shows the report; no body
    // empties the view. The previous report file goes.
    void showReport(std::optional<DMReportBody> body);
    QString newTemporaryFilePath(const QString &stem, const QString &extension);
    void removeShownReportFile();
    // The pop-up emptied and filled again, its first enabled entry chosen.
    void refillPopUp(const std::function<void(QComboBox *, const DMProject &)> &fill);
    // Mode 1, the pop-up's label and the mail button of a grouped page.
    void prepareGroupedPage(const QString &popUpLabel);
    // The whole document of the shown report; null, with the reason, when none is shown.
    std::unique_ptr<QTextDocument> shownDocument(QString *error) const;

    DMProjectDocumentReportHost *m_host;
    std::unique_ptr<QTemporaryDir> m_temporaryFolder;
    int m_fileCounter = 0;
    QString m_shownReportPath;
    // The rows of the report the page shows, kept for its PDF and its print.
    std::optional<DMReportBody> m_shownBody;
    int m_shownPageTag = DMPage::NoPage;
    qint8 m_mode = 0;
    QPointer<DMReportPage> m_connectedPage;
    QTimer m_pickerTimer; // refreshes a grouped page shortly after its dates changed
    QProcess *m_mailProcess = nullptr;
};
