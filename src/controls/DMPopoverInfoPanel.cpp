#include "DMPopoverInfoPanel.h"

#include "DMChildWindow.h"

#include <QDateTime>
#include <QLabel>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFadeIn = 0.5;
constexpr double kFadeOutStart = 4.5;
constexpr double kShownFor = 5.0;
constexpr int kIconSize = 24;
constexpr int kInset = 4;

double now()
{
    return QDateTime::currentMSecsSinceEpoch() / 1000.0;
}

} // namespace

PopoverWindow::PopoverWindow(QWidget *view, QPointF point, QWidget *window, int side, qreal distance)
    : DMAttachedWindow(view, point, window, side, distance)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
}

DMPopoverInfoPanel *DMPopoverInfoPanel::sharedInstance()
{
    static DMPopoverInfoPanel *instance = new DMPopoverInfoPanel;
    return instance;
}

DMPopoverInfoPanel::DMPopoverInfoPanel() : m_contentView(new QWidget)
{
    m_contentView->setObjectName(QStringLiteral("DMPopoverInfoPanelContentView"));
    m_iconView = new QLabel(m_contentView);
    m_iconView->setGeometry(kInset, kInset, kIconSize, kIconSize);
    m_iconView->setAlignment(Qt::AlignCenter);
    m_label = new QLabel(m_contentView);
    QPalette light = m_label->palette();
    light.setColor(QPalette::WindowText, Qt::white);
    m_label->setPalette(light);
    const int labelHeight = m_label->sizeHint().height() + 2;
    m_label->setGeometry(kInset + kIconSize + kInset, kInset + (kIconSize - labelHeight) / 2, 120, labelHeight);
    m_contentView->resize(m_label->geometry().right() + 1 + kInset, kIconSize + 2 * kInset);

    m_timer.setInterval(50);
    connect(&m_timer, &QTimer::timeout, this, &DMPopoverInfoPanel::timerMethod);
}

QString DMPopoverInfoPanel::text() const
{
    return m_label->text();
}

void DMPopoverInfoPanel::setText(const QString &text)
{
    m_label->setText(text);
    const QSize natural = m_label->sizeHint();
    const QSize wanted(natural.width() + 2, natural.height() + 2);
    const QSize delta = wanted - m_label->size();
    if (delta.isNull())
        return;
    m_contentView->resize(m_contentView->size() + delta);
    m_label->resize(m_label->size() + delta);
}

void DMPopoverInfoPanel::setIcon(const QImage &icon)
{
    m_icon = icon;
    m_iconView->setPixmap(icon.isNull() ? QPixmap()
                                        : QPixmap::fromImage(icon.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio,
                                                                         Qt::SmoothTransformation)));
}

void DMPopoverInfoPanel::showInViewIconText(QWidget *view, const QImage &icon, const QString &text)
{
    if (!view)
        return;
    QWidget *superview = view->parentWidget() ? view->parentWidget() : view;
    const QRect frame = superview == view ? view->rect() : view->geometry();
    showAtPointInViewIconText(QPointF(frame.x() + frame.width() / 2.0, frame.y()), superview, icon, text);
}

void DMPopoverInfoPanel::showAtPointInViewIconText(QPointF point, QWidget *view, const QImage &icon, const QString &text)
{
    setIcon(icon);
    setText(text);
    if (!view || !view->window()->isVisible())
        return;
    QWidget *window = view->window();
    const QPointF inWindow = view->mapTo(window, point);

    if (m_containerWindow) {
        DMWindow_removeChildWindow(m_containerWindow);
        m_contentView->setParent(nullptr);
        delete m_containerWindow;
    }
    m_timer.stop();
    m_showUpDate = now();

    auto *bubble = new PopoverWindow(m_contentView, inWindow, window, kDMAttachedWindowSide_Automatic, 0);
    bubble->setWindowOpacity(0.01);
    bubble->setPopoverStyle(QColor::fromRgbF(0.2f, 0.2f, 0.2f, 1));
    bubble->setPointSide(inWindow, kDMAttachedWindowSide_Above);
    m_containerWindow = bubble;
    DMWindow_addChildWindow(window, bubble);
    m_timer.start();
}

double DMPopoverInfoPanel::alphaForTime(double t)
{
    double alpha = 1.0;
    if (t <= kFadeIn)
        alpha = t / kFadeIn;
    else if (t >= kFadeOutStart)
        alpha = (kShownFor - t) / (kShownFor - kFadeOutStart);
    return std::clamp(alpha, 0.0, 1.0);
}

void DMPopoverInfoPanel::timerMethod()
{
    const double t = now() - m_showUpDate;
    if (m_containerWindow)
        m_containerWindow->setWindowOpacity(alphaForTime(t));
    if (t >= kShownFor) {
        m_timer.stop();
        hideBubble();
    }
}

// A faded bubble goes from the screen (an order-out would also close other popovers).
void DMPopoverInfoPanel::hideBubble()
{
    if (!m_containerWindow)
        return;
    DMWindow_removeChildWindow(m_containerWindow);
    m_containerWindow->hide();
}
