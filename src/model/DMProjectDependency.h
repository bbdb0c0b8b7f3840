#pragma once

#include "DMProjectObject.h"

#include <QColor>

#include <memory>

class DMProjectItem;
class DMProjectDependencyUIObject;

// A link from one item to another, shared by the outbound list of its source and the inbound
// list of its target; it holds its ends without owning them. Made by
// DMProjectItem::addOutboundDependencyToItem. Kinds: 0 finish to start, 1 start to finish,
// 2 start to start, 3 finish to finish; no lag. Every property is observable under its
// name and undoable.
class DMProjectDependency : public DMProjectObject
{
public:
    enum Kind { FinishToStart = 0, StartToFinish = 1, StartToStart = 2, FinishToFinish = 3 };

    DMProjectDependency();
    ~DMProjectDependency() override;

    static QString staticClassName() { return QStringLiteral("DMProjectDependency"); }
    QString className() const override { return staticClassName(); }

    std::shared_ptr<DMProjectItem> fromItem() const { return m_fromItem.lock(); }
    std::shared_ptr<DMProjectItem> toItem() const { return m_toItem.lock(); }
    DMProjectItem *fromItemPointer() const { return m_fromItemRaw; }
    DMProjectItem *toItemPointer() const { return m_toItemRaw; }

    // What each kind requires of its target, in one place. A link requires the target's begin
    // (finish to start, start to start) or its end (start to finish, finish to finish) to be no
    // earlier than the source's end (finish to start, finish to finish) or its begin (start to
    // start, start to finish). T is a date, or a time on a number line (working time).
    static bool constrainsTargetEnd(int kind) { return kind == StartToFinish || kind == FinishToFinish; }
    static bool followsSourceEnd(int kind) { return kind == FinishToStart || kind == FinishToFinish; }
    // Forward: the earliest the target's constrained date (its end when constrainsTargetEnd,
    // else its begin) may be, from the source's dates.
    template <typename T>
    static T requiredTargetDate(int kind, const T &sourceBegin, const T &sourceEnd)
    {
        return followsSourceEnd(kind) ? sourceEnd : sourceBegin;
    }
    template <typename T>
    static bool holds(int kind, const T &sourceBegin, const T &sourceEnd, const T &targetBegin, const T &targetEnd)
    {
        return (constrainsTargetEnd(kind) ? targetEnd : targetBegin) >= requiredTargetDate(kind, sourceBegin, sourceEnd);
    }
    // Backward (the critical path): the latest the source may end, from the target's latest
    // begin and end and the source's own duration.
    template <typename T, typename D>
    static T latestSourceEnd(int kind, const T &targetLatestBegin, const T &targetLatestEnd, const D &sourceDuration)
    {
        const T latest = constrainsTargetEnd(kind) ? targetLatestEnd : targetLatestBegin;
        return followsSourceEnd(kind) ? latest : latest + sourceDuration;
    }

    // Values out of range are clamped: kind 0-3, linkStyle 0-4, dashStyle 0-3, thickness 0-2.
    int kind() const { return m_kind; }
    void setKind(int kind);
    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    int linkStyle() const { return m_linkStyle; }
    void setLinkStyle(int style);
    bool hasArrow() const { return m_hasArrow; }
    void setHasArrow(bool hasArrow);
    int dashStyle() const { return m_dashStyle; }
    void setDashStyle(int style);
    int thickness() const { return m_thickness; }
    void setThickness(int thickness);

    // The link line, made through the registered factory on first request (null without one).
    std::shared_ptr<DMProjectDependencyUIObject> ganttUIObject() const;

    // {"class", "objectID", "fromItem", "toItem", "kind", "color", "linkStyle", "hasArrow",
    // "dashStyle", "thickness"}; the ends as object IDs.
    QVariantMap dictionaryRepresentation() const override;
    // The look only (kind, colour, styles); the ends are resolved by the caller.
    void loadStyle(const QVariantMap &dictionary);
    QVariantMap styleRepresentation() const;

private:
    friend class DMProjectItem;
    friend class DMProjectRelations;
    void setEnds(const std::shared_ptr<DMProjectItem> &from, const std::shared_ptr<DMProjectItem> &to);
    void clearEnds();
    void notifyStyleChanged() const;

    std::weak_ptr<DMProjectItem> m_fromItem;
    std::weak_ptr<DMProjectItem> m_toItem;
    DMProjectItem *m_fromItemRaw = nullptr;
    DMProjectItem *m_toItemRaw = nullptr;
    int m_kind = FinishToStart;
    QColor m_color = QColor::fromRgbF(0.0f, 0.0f, 0.0f, 1.0f);
    int m_linkStyle = 0;
    bool m_hasArrow = true;
    int m_dashStyle = 0;
    int m_thickness = 0;
    // Where the link stood in its source's outbound list (0) and its target's inbound list (1)
    // while taken out of it; -1 while listed (see DMProjectRelations).
    qsizetype m_suspendedAt[2] = {-1, -1};
    mutable std::shared_ptr<DMProjectDependencyUIObject> m_ganttUIObject;
    mutable bool m_ganttUIObjectRequested = false;
};
