#include "FarseeSendingCellView.h"

#include "DMLocalizedString.h"
#include "DMProgressBarView.h"
#include "FarseeManager.h"
#include "FarseeSending.h"
#include "FarseeSendingCellOverView.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kIconSize = 32;

} // namespace

FarseeSendingCellView::FarseeSendingCellView(FarseeManager *manager, QWidget *parent)
    : QFrame(parent)
    , m_manager(manager)
    , m_iconLabel(new QLabel)
    , m_titleLabel(new QLabel)
    , m_statusLabel(new QLabel)
    , m_progressBar(new DMProgressBarView)
    , m_openButton(new QToolButton)
    , m_deleteButton(new QToolButton)
    , m_overView(nullptr)
{
    setObjectName(QStringLiteral("FarseeSendingCellView"));
    setFrameShape(QFrame::NoFrame);
    m_iconLabel->setFixedSize(kIconSize, kIconSize);
    QFont bold = m_titleLabel->font();
    bold.setBold(true);
    m_titleLabel->setFont(bold);
    m_titleLabel->setTextFormat(Qt::PlainText);
    m_statusLabel->setTextFormat(Qt::PlainText);
    m_statusLabel->setWordWrap(true);
    m_progressBar->setFixedHeight(10);
    m_progressBar->setBarBorderWidth(1);
    m_progressBar->setBarBorderColor(QColor(160, 160, 160));
    m_progressBar->setBarBackgroundColor(QColor(236, 236, 236));
    m_progressBar->setBarInnerPadding(1);
    m_progressBar->setBarFillColor(QColor(70, 130, 200));
    m_openButton->setText(DMLocalizedString("Open"));
    m_openButton->setToolTip(DMLocalizedString("Open the shared link in the web browser"));
    m_deleteButton->setText(QStringLiteral("\u2715"));
    m_deleteButton->setToolTip(DMLocalizedString("Delete, also from the sharing service"));
    m_deleteButton->setAutoRaise(true);
    connect(m_openButton, &QToolButton::clicked, this, &FarseeSendingCellView::openLink);
    connect(m_deleteButton, &QToolButton::clicked, this, &FarseeSendingCellView::remove);

    auto *text = new QVBoxLayout;
    text->setSpacing(3);
    text->addWidget(m_titleLabel);
    text->addWidget(m_progressBar);
    text->addWidget(m_statusLabel);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10, 8, 8, 8);
    row->setSpacing(10);
    row->addWidget(m_iconLabel, 0, Qt::AlignTop);
    row->addLayout(text, 1);
    row->addWidget(m_openButton, 0, Qt::AlignVCenter);
    row->addWidget(m_deleteButton, 0, Qt::AlignVCenter);

    // Over the labels, under the buttons: the menu click anywhere but on a button.
    m_overView = new FarseeSendingCellOverView(this);
    m_overView->raise();
    m_openButton->raise();
    m_deleteButton->raise();
}

void FarseeSendingCellView::setObjectValue(const std::shared_ptr<FarseeSending> &sending)
{
    m_objectValue = sending;
    refresh();
}

QString FarseeSendingCellView::statusText() const
{
    const std::shared_ptr<FarseeSending> sending = objectValue();
    if (!sending)
        return QString();
    if (sending->isInProgress())
        return DMLocalizedString("Sending... %1%").arg(int(sending->progress * 100.0));
    if (!sending->error.isEmpty())
        return sending->error;
    const QString date = QLocale().toString(sending->sentDate.toLocalTime(), QLocale::ShortFormat);
    return QStringLiteral("%1 \u00b7 %2\n%3").arg(sending->filetype, date, QString::fromUtf8(sending->remoteURL.toEncoded()));
}

void FarseeSendingCellView::refresh()
{
    const std::shared_ptr<FarseeSending> sending = objectValue();
    if (!sending)
        return;
    m_iconLabel->setPixmap(sending->icon.pixmap(kIconSize, kIconSize));
    m_titleLabel->setText(sending->title);
    m_statusLabel->setText(statusText());
    QPalette palette = m_statusLabel->palette();
    const bool failed = !sending->isInProgress() && !sending->error.isEmpty();
    palette.setColor(m_statusLabel->foregroundRole(),
                     failed ? QColor(190, 30, 30) : palette.color(QPalette::PlaceholderText));
    m_statusLabel->setPalette(palette);
    m_progressBar->setVisible(sending->isInProgress());
    m_progressBar->setDoubleValue(sending->progress);
    m_openButton->setVisible(!sending->remoteURL.isEmpty());
}

void FarseeSendingCellView::remove()
{
    if (m_manager)
        m_manager->setDictionaryDeleted(objectValue());
}

void FarseeSendingCellView::openLink()
{
    const std::shared_ptr<FarseeSending> sending = objectValue();
    if (sending && sending->remoteURL.isValid() && !sending->remoteURL.isRelative())
        QDesktopServices::openUrl(sending->remoteURL);
}

void FarseeSendingCellView::copyLink()
{
    const std::shared_ptr<FarseeSending> sending = objectValue();
    if (!sending || sending->remoteURL.isEmpty())
        return;
    auto *data = new QMimeData;
    data->setText(QString::fromUtf8(sending->remoteURL.toEncoded()));
    QGuiApplication::clipboard()->setMimeData(data);
}

void FarseeSendingCellView::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    // A hairline under each row.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Midlight));
    painter.drawLine(QPoint(10, height() - 1), QPoint(width() - 10, height() - 1));
}

void FarseeSendingCellView::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    m_overView->setGeometry(rect());
}
