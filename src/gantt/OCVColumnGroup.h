#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

// One titled run of timeline columns (a week or a month in the header's upper bands).
// The colours are kept for the group's owner; the header's drawing reads only the titles and
// the column range.
class OCVColumnGroup
{
public:
    // No title, columns -1.
    OCVColumnGroup() = default;
    OCVColumnGroup(const QString &title, qint32 beginColumn, qint32 endColumn);

    QString title() const { return m_title; }
    // Shorter forms of the title, longest first, which the header shows in its place when the
    // title does not fit ("Week 12": "12"; "Dec 2023": "Dec").
    const QStringList &shorterTitles() const { return m_shorterTitles; }
    void setShorterTitles(const QStringList &titles) { m_shorterTitles = titles; }
    qint32 beginColumn() const { return m_beginColumn; }
    qint32 endColumn() const { return m_endColumn; } // inclusive
    bool containsColumn(qint32 column) const { return column >= m_beginColumn && column <= m_endColumn; }

    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color) { m_backgroundColor = color; }
    QColor titleColor() const { return m_titleColor; }
    void setTitleColor(const QColor &color) { m_titleColor = color; }
    bool selected() const { return m_selected; }
    void setSelected(bool selected) { m_selected = selected; }

private:
    QString m_title;
    QStringList m_shorterTitles;
    qint32 m_beginColumn = -1;
    qint32 m_endColumn = -1;
    QColor m_backgroundColor = Qt::white;
    QColor m_titleColor = Qt::black;
    bool m_selected = false;
};
