// DMPrintPanelController: the sheet, its controls and what they show.
#include "DMPrintPanelController.h"
#include "DMWallClock.h"

#include "DMLocalizedString.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPdfView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int kProgressSteps = 1000;

QDate qDateOf(const DMDate &date)
{
    return date.isNull() ? DMWallClock::today() : QDate(date.year(), date.month(), date.day());
}

DMDate dayOf(const QDate &date)
{
    return DMDate(date.year(), date.month(), date.day(), 0);
}

} // namespace

QWidget *DMPrintPanelController::window()
{
    if (!m_window)
        buildWindow();
    return m_window;
}

void DMPrintPanelController::buildWindow()
{
    auto *window = new QWidget(nullptr, Qt::Dialog | Qt::Sheet);
    window->setObjectName(QStringLiteral("DMPrintPanelController"));
    window->setWindowTitle(DMLocalizedString("Print"));
    m_window = window;

    // The preview, its progress and what the composition says.
    auto *previewColumn = new QVBoxLayout;
    m_titleLabel = new QLabel(window);
    QFont bold = m_titleLabel->font();
    bold.setBold(true);
    m_titleLabel->setFont(bold);
    previewColumn->addWidget(m_titleLabel);
    m_pdfView = new QPdfView(window);
    m_pdfView->setObjectName(QStringLiteral("pdfView"));
    m_pdfView->setMinimumSize(560, 420);
    m_pdfView->setPageMode(QPdfView::PageMode::MultiPage);
    m_pdfView->setZoomMode(QPdfView::ZoomMode::Custom);
    m_pdfView->setZoomFactor(0.3);
    m_pdfView->setPageSpacing(12);
    previewColumn->addWidget(m_pdfView, 1);
    m_progressIndicator = new QProgressBar(window);
    m_progressIndicator->setRange(0, kProgressSteps);
    m_progressIndicator->setTextVisible(false);
    m_progressIndicator->setVisible(false);
    previewColumn->addWidget(m_progressIndicator);
    m_statusLabel = new QLabel(window);
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));
    m_statusLabel->setWordWrap(true);
    previewColumn->addWidget(m_statusLabel);

    // The options.
    auto *dates = new QGroupBox(DMLocalizedString("Dates"), window);
    auto *datesLayout = new QGridLayout(dates);
    m_shownSpanButton = new QRadioButton(DMLocalizedString("Time span shown in the chart"), dates);
    m_datesButton = new QRadioButton(DMLocalizedString("From"), dates);
    m_beginDateEdit = new QDateEdit(dates);
    m_beginDateEdit->setCalendarPopup(true);
    m_endDateEdit = new QDateEdit(dates);
    m_endDateEdit->setCalendarPopup(true);
    datesLayout->addWidget(m_shownSpanButton, 0, 0, 1, 3);
    datesLayout->addWidget(m_datesButton, 1, 0);
    datesLayout->addWidget(m_beginDateEdit, 1, 1);
    datesLayout->addWidget(new QLabel(DMLocalizedString("to"), dates), 2, 0, Qt::AlignRight);
    datesLayout->addWidget(m_endDateEdit, 2, 1);

    auto *pages = new QGroupBox(DMLocalizedString("Pages"), window);
    auto *pagesLayout = new QFormLayout(pages);
    m_fitCheckBox = new QCheckBox(DMLocalizedString("Fit on one page"), pages);
    m_topEveryPageCheckBox = new QCheckBox(DMLocalizedString("Timeline on every page"), pages);
    m_leftEveryPageCheckBox = new QCheckBox(DMLocalizedString("Outline on every page"), pages);
    m_zoomField = new QSpinBox(pages);
    m_zoomField->setRange(10, 400);
    m_zoomField->setSuffix(QStringLiteral(" %"));
    m_zoomField->setSingleStep(10);
    m_dayWidthField = new QDoubleSpinBox(pages);
    m_dayWidthField->setRange(4, 200);
    m_dayWidthField->setDecimals(0);
    m_dayWidthField->setSuffix(DMLocalizedString(" pt"));
    m_dayWidthLabel = new QLabel(DMLocalizedString("Day width:"), pages);
    m_headerField = new QLineEdit(pages);
    m_footerField = new QLineEdit(pages);
    pagesLayout->addRow(m_fitCheckBox);
    pagesLayout->addRow(m_topEveryPageCheckBox);
    pagesLayout->addRow(m_leftEveryPageCheckBox);
    pagesLayout->addRow(DMLocalizedString("Zoom:"), m_zoomField);
    pagesLayout->addRow(m_dayWidthLabel, m_dayWidthField);
    pagesLayout->addRow(DMLocalizedString("Header:"), m_headerField);
    pagesLayout->addRow(DMLocalizedString("Footer:"), m_footerField);

    auto *buttons = new QHBoxLayout;
    auto *closeButton = new QPushButton(DMLocalizedString("Close"), window);
    closeButton->setShortcut(Qt::Key_Escape);
    m_printButton = new QPushButton(window);
    m_printButton->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    buttons->addWidget(m_printButton);

    auto *optionsColumn = new QVBoxLayout;
    optionsColumn->addWidget(dates);
    optionsColumn->addWidget(pages);
    optionsColumn->addStretch(1);
    optionsColumn->addLayout(buttons);

    auto *layout = new QHBoxLayout(window);
    layout->addLayout(previewColumn, 1);
    layout->addLayout(optionsColumn);

    connect(m_shownSpanButton, &QRadioButton::toggled, this, [this](bool on) { setDateMode(on ? 0 : 1); });
    connect(m_beginDateEdit, &QDateEdit::dateChanged, this, [this](const QDate &date) { setBeginDate(dayOf(date)); });
    connect(m_endDateEdit, &QDateEdit::dateChanged, this, [this](const QDate &date) { setEndDate(dayOf(date)); });
    connect(m_fitCheckBox, &QCheckBox::toggled, this, &DMPrintPanelController::setFitOnOnePage);
    connect(m_topEveryPageCheckBox, &QCheckBox::toggled, this, &DMPrintPanelController::setTopImageOnEveryPage);
    connect(m_leftEveryPageCheckBox, &QCheckBox::toggled, this, &DMPrintPanelController::setLeftImageOnEveryPage);
    connect(m_zoomField, &QSpinBox::valueChanged, this, [this](int percent) { setZoomLevel(percent / 100.0); });
    connect(m_dayWidthField, &QDoubleSpinBox::valueChanged, this, &DMPrintPanelController::setPixelsPerColumn);
    connect(m_headerField, &QLineEdit::textEdited, this, &DMPrintPanelController::setHeaderString);
    connect(m_footerField, &QLineEdit::textEdited, this, &DMPrintPanelController::setFooterString);
    connect(closeButton, &QPushButton::clicked, this, &DMPrintPanelController::close);
    connect(m_printButton, &QPushButton::clicked, this, &DMPrintPanelController::print);
    updateControls();
}

void DMPrintPanelController::updateControls()
{
    if (!m_window)
        return;
    const QSignalBlocker blockers[] = {QSignalBlocker(m_shownSpanButton), QSignalBlocker(m_datesButton),
                                       QSignalBlocker(m_beginDateEdit),   QSignalBlocker(m_endDateEdit),
                                       QSignalBlocker(m_fitCheckBox),     QSignalBlocker(m_topEveryPageCheckBox),
                                       QSignalBlocker(m_leftEveryPageCheckBox), QSignalBlocker(m_zoomField),
                                       QSignalBlocker(m_dayWidthField)};
    m_shownSpanButton->setChecked(m_dateMode == 0);
    m_datesButton->setChecked(m_dateMode != 0);
    m_beginDateEdit->setDate(qDateOf(m_beginDate));
    m_endDateEdit->setDate(qDateOf(m_endDate));
    m_beginDateEdit->setEnabled(m_dateMode != 0);
    m_endDateEdit->setEnabled(m_dateMode != 0);
    m_fitCheckBox->setChecked(m_fitOnOnePage);
    m_fitCheckBox->setEnabled(!m_imageExport);
    // Repeating the header or the outline means something only over several pages.
    const bool severalPages = !m_fitOnOnePage && !m_imageExport;
    m_topEveryPageCheckBox->setChecked(m_topImageOnEveryPage);
    m_topEveryPageCheckBox->setEnabled(severalPages);
    m_leftEveryPageCheckBox->setChecked(m_leftImageOnEveryPage);
    m_leftEveryPageCheckBox->setEnabled(severalPages);
    m_zoomField->setValue(int(std::lround(m_zoomLevel * 100)));
    m_dayWidthField->setValue(m_pixelsPerColumn);
    m_dayWidthField->setVisible(m_imageExport);
    m_dayWidthLabel->setVisible(m_imageExport);
    if (m_headerField->text() != m_headerString)
        m_headerField->setText(m_headerString);
    if (m_footerField->text() != m_footerString)
        m_footerField->setText(m_footerString);

    QString title = DMLocalizedString("Print");
    QString button = DMLocalizedString("Print...");
    const QString format = m_imageExportFormat == QLatin1String("jpg") ? QStringLiteral("JPEG") : QStringLiteral("PDF");
    if (m_imageExport && m_farseeExport) {
        title = DMLocalizedString("Share as %1").arg(format);
        button = DMLocalizedString("Share...");
    } else if (m_imageExport && m_internetExport) {
        title = DMLocalizedString("Web Export");
        button = DMLocalizedString("Send...");
    } else if (m_imageExport) {
        title = DMLocalizedString("Export as %1").arg(format);
        button = DMLocalizedString("Export...");
    }
    m_window->setWindowTitle(title);
    m_titleLabel->setText(title);
    m_printButton->setText(button);

    QString status;
    if (!m_whyNoPages.isEmpty())
        status = m_whyNoPages;
    else if (!m_pageImages.isEmpty())
        status = m_pageImages.size() == 1 ? DMLocalizedString("1 page")
                                          : DMLocalizedString("%1 pages").arg(m_pageImages.size());
    m_statusLabel->setText(status);
}
