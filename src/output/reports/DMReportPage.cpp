#include "DMReportPage.h"

#include "DMLocalizedString.h"
#include "DMReportWebView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

DMReportPage::DMReportPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("reportContainerView"));
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("reportControlsBar"));
    auto *controls = new QHBoxLayout(bar);
    controls->setContentsMargins(10, 6, 10, 6);
    controls->setSpacing(8);

    m_popUpLabel = new QLabel(DMLocalizedString("Resource:"), bar);
    m_popUp = new QComboBox(bar);
    // As wide as its longest name: a resource or process is told apart by the end of its name.
    m_popUp->setMinimumContentsLength(8);
    m_popUp->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto *fromLabel = new QLabel(DMLocalizedString("From:"), bar);
    auto *toLabel = new QLabel(DMLocalizedString("To:"), bar);
    const auto makePicker = [bar] {
        auto *picker = new QDateTimeEdit(bar);
        picker->setCalendarPopup(true);
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
        return picker;
    };
    m_beginDatePicker = makePicker();
    m_endDatePicker = makePicker();
    m_showCost = new QCheckBox(DMLocalizedString("Show Cost"), bar);
    m_showCost->setChecked(true);
    m_showCompletion = new QCheckBox(DMLocalizedString("Show Completion"), bar);
    m_showCompletion->setChecked(true);
    m_mailButton = new QPushButton(DMLocalizedString("Send by Mail..."), bar);

    for (QWidget *widget : {static_cast<QWidget *>(m_popUpLabel), static_cast<QWidget *>(m_popUp),
                            static_cast<QWidget *>(fromLabel), static_cast<QWidget *>(m_beginDatePicker),
                            static_cast<QWidget *>(toLabel), static_cast<QWidget *>(m_endDatePicker)})
        controls->addWidget(widget);
    m_groupControls = {m_popUpLabel, m_popUp, fromLabel, m_beginDatePicker, toLabel, m_endDatePicker};
    controls->addSpacing(12);
    controls->addWidget(m_showCost);
    controls->addWidget(m_showCompletion);
    controls->addStretch(1);
    m_progress = new QProgressBar(bar);
    m_progress->setObjectName(QStringLiteral("reportProgressIndicator"));
    m_progress->setMaximumWidth(160);
    m_progress->setTextVisible(false);
    m_progress->hide();
    controls->addWidget(m_progress);
    controls->addWidget(m_mailButton);

    m_reportWebView = new DMReportWebView(this);
    m_reportWebView->setObjectName(QStringLiteral("reportWebView"));
    m_reportWebView->setOpenLinks(false);
    m_reportWebView->setFrameShape(QFrame::NoFrame);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_reportWebView, 1);
    setShowsGroupControls(false);
}

void DMReportPage::setShowsGroupControls(bool shows)
{
    for (QWidget *widget : m_groupControls)
        widget->setVisible(shows);
}
