#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QProgressBar;
class QPushButton;
class QTextBrowser;

// The report area of a document window: a bar with the pop-up that picks a resource or a
// process (and its label), the begin and end date pickers, the cost and completion check boxes
// and the mail button, above the report view. The global report hides the pop-up, its label and
// the pickers. The widgets are children of the page; the report controller drives them.
class DMReportPage : public QWidget
{
    Q_OBJECT

public:
    explicit DMReportPage(QWidget *parent = nullptr);

    QTextBrowser *reportWebView() const { return m_reportWebView; }
    QCheckBox *reportShowCostCheckbox() const { return m_showCost; }
    QCheckBox *reportShowCompletionCheckbox() const { return m_showCompletion; }
    QComboBox *tasksByResourceReportPopUpButton() const { return m_popUp; }
    QLabel *tasksByResourceReportPopupLabel() const { return m_popUpLabel; }
    QPushButton *tasksByResourceReportMailButton() const { return m_mailButton; }
    QDateTimeEdit *tasksByResourceReportBeginDatePicker() const { return m_beginDatePicker; }
    QDateTimeEdit *tasksByResourceReportEndDatePicker() const { return m_endDatePicker; }
    // How many rows of a long report the view has written; hidden when all are.
    QProgressBar *reportProgressIndicator() const { return m_progress; }

    // Shows (grouped reports) or hides (global report) the pop-up, its label and the pickers.
    void setShowsGroupControls(bool shows);

private:
    QTextBrowser *m_reportWebView = nullptr;
    QCheckBox *m_showCost = nullptr;
    QCheckBox *m_showCompletion = nullptr;
    QComboBox *m_popUp = nullptr;
    QLabel *m_popUpLabel = nullptr;
    QPushButton *m_mailButton = nullptr;
    QDateTimeEdit *m_beginDatePicker = nullptr;
    QDateTimeEdit *m_endDatePicker = nullptr;
    QProgressBar *m_progress = nullptr;
    QList<QWidget *> m_groupControls;
};
