#include "DMTimelineView.h"

#include "DMDrawingAdditions.h"
#include "DMEvent.h"
#include "DMTimelineImages.h"
#include "DMTimelineViewDataSource.h"
#include "OCVColumnGroup.h"

#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

QStringList &hourNamesStorage()
{
    static QStringList names;
    return names;
}

// The shared drawing resources, made by the first header.
struct SharedResources
{
    QImage columnImage, columnSelectedImage;
    QImage weekImage, weekSelectedImage;
    QImage monthImage, monthSelectedImage;
    QColor fillColor = Qt::white;

    static const SharedResources &instance()
    {
        static const SharedResources resources;
        return resources;
    }

private:
    SharedResources()
        : columnImage(DMTimelineImages::imageNamed(QStringLiteral("fond-jour"))),
          columnSelectedImage(DMTimelineImages::imageNamed(QStringLiteral("fond-jour-on"))),
          weekImage(DMTimelineImages::imageNamed(QStringLiteral("fond-semaine"))),
          weekSelectedImage(DMTimelineImages::imageNamed(QStringLiteral("fond-semaine-on"))),
          monthImage(DMTimelineImages::imageNamed(QStringLiteral("fond-mois"))),
          monthSelectedImage(DMTimelineImages::imageNamed(QStringLiteral("fond-mois-on")))
    {
    }
};

const QColor kWeekTitleColor = QColor::fromRgbF(1.0 / 3.0, 1.0 / 3.0, 1.0 / 3.0);
const QColor kMonthTitleColor = QColor::fromRgbF(0.92, 0.92, 0.92);

// The longest of the group's titles (the title, then its shorter forms) that fits the width, and
// its size; empty when none fits.
QString fittingGroupTitle(const OCVColumnGroup &group, const DMTextAttributes &attributes, double width, QSizeF *size)
{
    QStringList forms{group.title()};
    forms += group.shorterTitles();
    for (const QString &form : std::as_const(forms)) {
        if (form.isEmpty())
            continue;
        *size = attributes.sizeOfString(form);
        if (size->width() <= width)
            return form;
    }
    return QString();
}

bool isPatternLetter(QChar c, const char *letters)
{
    return c.unicode() < 128 && std::strchr(letters, char(c.unicode())) != nullptr;
}

} // namespace

DMTimelineView::DMTimelineView(QWidget *parent) : QWidget(parent)
{
    m_columnHeaderAttributes.font = DMTextAttributes::smallSystemFont(8);
    m_columnHeaderAttributes.foregroundColor = QColor::fromRgbF(2.0 / 3.0, 2.0 / 3.0, 2.0 / 3.0);
    m_columnSuperHeaderAttributes.font = DMTextAttributes::smallSystemFont(10);
    m_columnHeaderBoldAttributes.font = DMTextAttributes::smallSystemFont(8);
    m_columnHeaderBoldAttributes.font.setBold(true);
    m_columnHeaderBoldAttributes.foregroundColor = Qt::white;
    m_columnSuperHeaderBoldAttributes.font = DMTextAttributes::smallSystemFont(10);
    m_columnSuperHeaderBoldAttributes.font.setBold(true);
    SharedResources::instance();
    if (hourNamesStorage().isEmpty())
        rebuildHourNames();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFixedHeight(int(3 * kBandHeight));
}

DMTimelineView::~DMTimelineView() = default;

void DMTimelineView::setDataSource(DMTimelineView_DataSource *dataSource)
{
    m_dataSource = dataSource;
    resetCursorRects();
    update();
}

QRectF DMTimelineView::bounds() const
{
    return QRectF(0, 0, width(), height());
}

QRectF DMTimelineView::visibleRect() const
{
    if (isVisible()) {
        const QRect visible = visibleRegion().boundingRect();
        if (!visible.isEmpty())
            return toQtRect(QRectF(visible), height()); // the same flip maps y down to y up
    }
    return bounds();
}

// ---- Cursor rectangles ----

void DMTimelineView::resetCursorRects()
{
    m_cursorRects.clear();
    if (m_dataSource)
        m_dataSource->setupCursorRectForTimeLineView(this);
    if (underMouse())
        updateCursor(mapFromGlobal(QCursor::pos()));
}

void DMTimelineView::addCursorRect(const QRectF &rect, Qt::CursorShape shape)
{
    m_cursorRects.append({rect, shape});
}

Qt::CursorShape DMTimelineView::cursorShapeAtPoint(const QPointF &point) const
{
    for (auto it = m_cursorRects.crbegin(); it != m_cursorRects.crend(); ++it)
        if (it->rect.contains(point))
            return it->shape;
    return Qt::ArrowCursor;
}

void DMTimelineView::updateCursor(const QPointF &qtPoint)
{
    const Qt::CursorShape shape = cursorShapeAtPoint(fromQtPoint(qtPoint, height()));
    if (shape == Qt::ArrowCursor)
        unsetCursor();
    else
        setCursor(shape);
}

// ---- Geometry ----

QRectF DMTimelineView::bandRect(Band band, const QRectF &bounds)
{
    return QRectF(bounds.x(), bounds.y() + int(band) * kBandHeight, bounds.width(), kBandHeight);
}

DMTimelineView::Band DMTimelineView::bandAtPoint(const QPointF &point, const QRectF &bounds)
{
    for (Band band : {ColumnBand, WeekBand, MonthBand}) {
        const QRectF rect = bandRect(band, bounds);
        if (point.y() >= rect.top() && point.y() < rect.bottom() && point.x() >= rect.left() && point.x() < rect.right())
            return band;
    }
    return NoBand;
}

QRectF DMTimelineView::cellRect(double x, double width, const QRectF &bounds)
{
    const double left = std::round(x);
    const double right = std::round(x + width);
    return QRectF(left, bandRect(ColumnBand, bounds).y(), right - left, kBandHeight);
}

QRectF DMTimelineView::groupRect(Band band, double left, double right, const QRectF &bounds)
{
    const double x0 = std::round(left);
    const double x1 = std::round(band == MonthBand ? right + 0.33 : right);
    return QRectF(x0, bandRect(band, bounds).y(), x1 - x0, kBandHeight);
}

QRectF DMTimelineView::centredTextRect(Band band, double left, double width, const QSizeF &textSize, const QRectF &bounds)
{
    const double x = std::trunc(left + (width - textSize.width()) / 2);
    const double y = std::trunc(bandRect(band, bounds).y() + (kBandHeight - textSize.height()) / 2);
    return QRectF(x, y, textSize.width(), textSize.height());
}

int DMTimelineView::hourLabelStep(double columnWidth)
{
    if (columnWidth >= 8)
        return 4;
    if (columnWidth >= 4)
        return 8;
    if (columnWidth >= 2)
        return 16;
    if (columnWidth >= 1.33)
        return 24;
    return 0;
}

QString DMTimelineView::hourLabelForColumn(int column, int totalColumns, int beginMinute, double columnWidth)
{
    const int step = hourLabelStep(columnWidth);
    if (!(columnWidth >= 0.5) || step == 0 || column < 0 || column > totalColumns)
        return QString();
    const int quarter = beginMinute / 15 + column;
    if (quarter % step != 0)
        return QString();
    const QStringList &names = DMTimelineView_hourNames();
    return names.value((quarter / 4) % 24);
}

QRectF DMTimelineView::toQtRect(const QRectF &rect, qreal height)
{
    return QRectF(rect.x(), height - rect.y() - rect.height(), rect.width(), rect.height());
}

QPointF DMTimelineView::fromQtPoint(const QPointF &point, qreal height)
{
    return QPointF(point.x(), height - point.y());
}

// ---- Layout ----

DMTimelineView::Layout DMTimelineView::layout() const
{
    Layout layout;
    if (!m_dataSource)
        return layout;
    auto *self = const_cast<DMTimelineView *>(this); // the data source takes the view as its sender
    const QRectF b = bounds();
    layout.mode = m_dataSource->modeForTimeLineView(self);
    int total = 0;
    int first = 0;
    int last = -1;
    double firstX = 0.0;
    double lastX = 0.0;
    m_dataSource->timeLineViewTotalColumnsGetMinColumnMinColumnMinXMaxColumnMaxColumnMaxX(self, &total, &first, &firstX,
                                                                                          &last, &lastX);
    if (m_printing) {
        first = 0;
        last = total - 1;
        firstX = b.x();
    }
    layout.totalColumns = total;
    if (first > last)
        return layout;
    layout.selectedColumn = m_dataSource->timeLineViewGetSelectedColumn(self);
    layout.columnWidth = m_dataSource->columnWidthForTimeLineView(self);
    if (!std::isfinite(layout.columnWidth) || !std::isfinite(firstX))
        return layout;
    layoutColumns(layout, first, last, firstX, b);
    layoutGroups(layout, WeekBand, first, last, firstX, b);
    layoutGroups(layout, MonthBand, first, last, firstX, b);
    return layout;
}

void DMTimelineView::layoutColumns(Layout &layout, int first, int last, double firstX, const QRectF &bounds) const
{
    auto *self = const_cast<DMTimelineView *>(this);
    const double w = layout.columnWidth;
    int beginMinute = 0;
    int endMinute = 1440;
    if (layout.mode == kDMTimelineViewMode_Day)
        m_dataSource->timeLineViewBeginMinuteForDayViewEndMinute(self, &beginMinute, &endMinute);
    // The day scale draws one column more, so the hour that closes the window gets its label.
    const int end = layout.mode == kDMTimelineViewMode_Day ? last + 1 : last;
    for (int i = first; i <= end; ++i) {
        const double x = firstX + double(i - first) * w;
        Cell cell;
        cell.column = i;
        cell.rect = cellRect(x, w, bounds);
        cell.selected = i == layout.selectedColumn;
        const QString label = layout.mode == kDMTimelineViewMode_Day
            ? hourLabelForColumn(i, layout.totalColumns, beginMinute, w)
            : m_dataSource->timeLineViewTitleForColumn(self, i);
        if (!label.isEmpty()) {
            const DMTextAttributes &attributes = cell.selected ? m_columnHeaderBoldAttributes : m_columnHeaderAttributes;
            const QSizeF size = attributes.sizeOfString(label);
            if (size.width() <= w) {
                cell.label = label;
                cell.labelRect = centredTextRect(ColumnBand, x, w, size, bounds);
            }
        }
        layout.cells.append(cell);
    }
}

void DMTimelineView::layoutGroups(Layout &layout, Band band, int first, int last, double firstX, const QRectF &bounds) const
{
    auto *self = const_cast<DMTimelineView *>(this);
    const double w = layout.columnWidth;
    const int total = layout.totalColumns;
    const bool bold = band == WeekBand ? total == 7 : total >= 8 && total <= 31;
    const DMTextAttributes &attributes = bold ? m_columnSuperHeaderBoldAttributes : m_columnSuperHeaderAttributes;
    const QRectF visible = m_printing ? bounds : visibleRect();
    qint64 i = first;
    while (i <= last) {
        const std::shared_ptr<OCVColumnGroup> group = band == WeekBand
            ? m_dataSource->timeLineViewWeekGroupForColumn(self, int(i))
            : m_dataSource->timeLineViewMonthGroupForColumn(self, int(i));
        if (!group) {
            ++i;
            continue;
        }
        const double x = firstX + double(i - first) * w;
        const double left = x - w * double(i - group->beginColumn());
        const double right = x + w * double(qint64(group->endColumn()) - i + 1);
        Group entry;
        entry.band = band;
        entry.beginColumn = group->beginColumn();
        entry.endColumn = group->endColumn();
        entry.rect = groupRect(band, left, right, bounds);
        entry.selected = group->containsColumn(layout.selectedColumn);
        entry.bold = bold;
        // The title is centred in the part of the group in view, so that a group reaching out of
        // view shows it whole; where it does not fit, a shorter form of it does.
        const double shownLeft = std::max(left, visible.left());
        const double shownWidth = std::min(right, visible.right()) - shownLeft;
        QSizeF size;
        const QString title = fittingGroupTitle(*group, attributes, shownWidth, &size);
        if (!title.isEmpty()) {
            entry.title = title;
            entry.titleRect = centredTextRect(band, shownLeft, shownWidth, size, bounds);
        }
        layout.groups.append(entry);
        // Always forward, even when a group ends before the column that asked for it.
        i = std::max(i + 1, qint64(group->endColumn()) + 1);
    }
}

// ---- Drawing and events ----

void DMTimelineView::paintEvent(QPaintEvent *)
{
    const SharedResources &resources = SharedResources::instance();
    QPainter painter(this);
    painter.fillRect(rect(), resources.fillColor);
    const Layout l = layout();
    const qreal h = height();
    const DMEdgeInsets cellInsets{4, 3, 4, 3};
    const DMEdgeInsets groupInsets{4, 4, 4, 4};
    for (const Cell &cell : l.cells) {
        const QImage &image = cell.selected ? resources.columnSelectedImage : resources.columnImage;
        DMDrawImageInRectWithEdgeInsets(&painter, image, toQtRect(cell.rect, h), cellInsets);
        if (!cell.label.isEmpty()) {
            const DMTextAttributes &attributes = cell.selected ? m_columnHeaderBoldAttributes : m_columnHeaderAttributes;
            attributes.drawStringInRect(&painter, cell.label, toQtRect(cell.labelRect, h));
        }
    }
    for (const Group &group : l.groups) {
        const bool week = group.band == WeekBand;
        const QImage &image = week ? (group.selected ? resources.weekSelectedImage : resources.weekImage)
                                   : (group.selected ? resources.monthSelectedImage : resources.monthImage);
        DMDrawImageInRectWithEdgeInsets(&painter, image, toQtRect(group.rect, h), groupInsets);
        if (group.title.isEmpty())
            continue;
        DMTextAttributes attributes = group.bold ? m_columnSuperHeaderBoldAttributes : m_columnSuperHeaderAttributes;
        attributes.foregroundColor = group.selected ? QColor(Qt::white) : (week ? kWeekTitleColor : kMonthTitleColor);
        attributes.drawStringInRect(&painter, group.title, toQtRect(group.titleRect, h));
    }
}

void DMTimelineView::mousePressEvent(QMouseEvent *event)
{
    if (m_dataSource && m_dataSource->timeLineViewMouseDown(this, DMEvent::fromMouseEvent(*event, this)))
        event->accept();
    else
        QWidget::mousePressEvent(event);
}

void DMTimelineView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dataSource && m_dataSource->timeLineViewMouseUp(this, DMEvent::fromMouseEvent(*event, this)))
        event->accept();
    else
        QWidget::mouseReleaseEvent(event);
    // A click may have changed the scale, and with it the clickable bands.
    resetCursorRects();
}

void DMTimelineView::mouseMoveEvent(QMouseEvent *event)
{
    updateCursor(event->position());
    QWidget::mouseMoveEvent(event);
}

void DMTimelineView::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // Scrolling moves the header in its scroll area; the group titles follow the part in view,
    // so the whole of it is drawn again, not just the strip that scrolled in.
    update();
}

void DMTimelineView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    resetCursorRects();
}

// ---- Hour labels ----

QString DMTimelineView_hourFormatFromTimePattern(const QString &pattern)
{
    QString reduced;
    bool quoted = false;
    bool foundHour = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if (isPatternLetter(c, "HKhk")) {
            reduced += c;
            foundHour = true;
        } else if (c == QLatin1Char('a')) {
            reduced += c;
        } else if (isPatternLetter(c, "ADEFGLMQSWYZcdegmqsuvwyz")) {
            continue;
        } else if (i + 1 < pattern.size() && pattern.at(i + 1) == QLatin1Char('a')) {
            reduced += c;
            reduced += QLatin1Char('a');
            ++i;
        }
    }
    if (!foundHour || reduced.isEmpty())
        reduced = QStringLiteral("H");
    return reduced;
}

QString DMTimelineView_hourFormatFromQtTimeFormat(const QString &format)
{
    // Qt's h is a 12-hour clock only when the format shows AM/PM.
    bool hasMarker = false;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('a') || c == QLatin1Char('A')))
            hasMarker = true;
    }
    QString pattern;
    quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c == QLatin1Char('\'')) {
            pattern += c;
            continue;
        }
        if (c == QLatin1Char('a') || c == QLatin1Char('A')) {
            pattern += QLatin1Char('a');
            if (i + 1 < format.size() && (format.at(i + 1) == QLatin1Char('p') || format.at(i + 1) == QLatin1Char('P')))
                ++i;
        } else if (c == QLatin1Char('h')) {
            pattern += hasMarker ? QLatin1Char('h') : QLatin1Char('H');
        } else if (c == QLatin1Char('t')) {
            pattern += QLatin1Char('z');
        } else if (c == QLatin1Char('z')) {
            pattern += QLatin1Char('S');
        } else {
            pattern += c;
        }
    }
    return DMTimelineView_hourFormatFromTimePattern(pattern);
}

QString DMTimelineView_formatHour(const QString &reducedFormat, int hour, const QLocale &locale)
{
    const int hour24 = ((hour % 24) + 24) % 24;
    QString text;
    for (qsizetype i = 0; i < reducedFormat.size();) {
        const QChar c = reducedFormat.at(i);
        qsizetype run = 1;
        while (i + run < reducedFormat.size() && reducedFormat.at(i + run) == c)
            ++run;
        int value = -1;
        if (c == QLatin1Char('H'))
            value = hour24;
        else if (c == QLatin1Char('k'))
            value = hour24 == 0 ? 24 : hour24;
        else if (c == QLatin1Char('h'))
            value = hour24 % 12 == 0 ? 12 : hour24 % 12;
        else if (c == QLatin1Char('K'))
            value = hour24 % 12;
        if (value >= 0) {
            QString digits = locale.toString(value);
            while (digits.size() < std::min<qsizetype>(run, 2))
                digits.prepend(locale.zeroDigit());
            text += digits;
        } else if (c == QLatin1Char('a')) {
            // The morning shows no marker.
            if (hour24 >= 12)
                text += locale.pmText();
        } else {
            text += QString(run, c);
        }
        i += run;
    }
    return text.trimmed();
}

void rebuildHourNames()
{
    const QLocale locale;
    const QString reduced = DMTimelineView_hourFormatFromQtTimeFormat(locale.timeFormat(QLocale::ShortFormat));
    QStringList names;
    for (int hour = 0; hour <= 24; ++hour)
        names.append(DMTimelineView_formatHour(reduced, hour, locale));
    hourNamesStorage() = names;
}

const QStringList &DMTimelineView_hourNames()
{
    if (hourNamesStorage().isEmpty())
        rebuildHourNames();
    return hourNamesStorage();
}
