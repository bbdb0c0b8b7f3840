#pragma once

#include "DMBaseObject.h"
#include "DMTextAttributes.h"

#include <QString>

#include <memory>
#include <optional>

class DMEvent;
class DMObjectViewDelegate;
class DMProject;
class DMProjectView;
class DMProjectViewObjectDelegate;
class DMProjectViewObjectEditor;

// Base of every object on the Gantt canvas: text attributes that follow the fill colour, a
// contrast colour for marks drawn over the fill, a hover state, the view mode in which the
// object shows, its inspector, and the redraw reports to the canvas, which reach it through the
// project's display attributes (projectView) and only while the object is visible.
class DMProjectViewObject : public DMBaseObject
{
public:
    explicit DMProjectViewObject(const QRectF &frame = QRectF());
    ~DMProjectViewObject() override;

    bool isValid() const { return m_isValid; }

    const DMTextAttributes &textAttributes() const { return m_textAttributes; }
    QColor textColor() const { return m_textAttributes.foregroundColor; }
    void setTextColor(const QColor &color);
    // Takes the font of the class's current defaults and keeps the colour (after the font-size
    // preference changed).
    void resetTextAttributes();
    // The class's shared defaults (font and colour); subclasses answer their own.
    virtual DMTextAttributes defaultTextAttributes() const;

    QColor bestContrastColor() const { return m_bestContrastColor; }
    // The size of the text in the object's text attributes. The last text measured is
    // remembered with its font: a bar measures its title whenever its width changes (a zoom
    // changes every bar's), and shaping text is what that would cost.
    QSizeF measuredSizeOfString(const QString &text) const;

    // The project of the object's model object; null when it has none (any more).
    virtual std::shared_ptr<DMProject> project() const = 0;
    // The name of the object's inspector class; empty for an object without an inspector.
    virtual QString objectEditorControllerClass() const;
    // Has the object's inspector follow it, shown or not; nothing when it has none.
    void editInInspector();
    // Opens the object's inspector; nothing when it has none.
    void editInView(DMProjectView *view);
    // The same for an object just made: the inspector takes the keyboard, so that the title
    // typed next lands in it.
    void editNewObjectInView(DMProjectView *view);

    // The view mode in which the object is drawn and reported: a mode number, every mode
    // (kDMProjectViewObject_VisibleInAllModes), none (negative; the state after creation).
    qint32 viewModeVisibility() const { return m_viewModeVisibility; }
    void setViewModeVisibility(qint32 visibility) { m_viewModeVisibility = visibility; }
    // Has a project, and its visibility matches the project's current view mode.
    bool isVisibleInCurrentViewMode() const;

    bool isHovered() const { return m_hovered; }
    // Redraws when the state changes. The canvas hovers one object at a time under the pointer
    // (DMProjectView::setHoveredObject); a pending link highlights the bars it joins.
    void setHovered(bool hovered);

    // A new bounding box leaves the guide labels to be placed when they are next asked for:
    // only the objects being dragged show theirs, and a pushed chain moves thousands of bars.
    void setBoundingBox(const QRectF &boundingBox) override;
    DMBaseObjectList guideAnchorsObjects() const override;
    void setFillColor(const QColor &color) override;
    void setStrokeColor(const QColor &color) override;
    // Asks the canvas to redraw the bounding box grown by 20 on every side.
    void objectNeedsUpdate();

    // The clock of the bars and links, which are placed when their geometry is read (see
    // DMBaseObject): advancing it leaves all of them to be placed, after a change of scale,
    // first day or rows.
    static const quint64 *placementClock() { return &s_placementClock; }
    static void invalidateAllPlacements() { ++s_placementClock; }

    // Shows the object's context menu for the event; false when the object has none.
    virtual bool presentsContextMenuFromEventInViewWithDelegate(const DMEvent &event, DMProjectView *view,
                                                                DMObjectViewDelegate *delegate);

protected:
    // Replaces the text attributes by a subclass's defaults, with the text colour for the fill.
    void adoptTextAttributes(const DMTextAttributes &attributes);
    // The canvas's report receiver when the object is visible, else null.
    DMProjectViewObjectDelegate *visibleObjectDelegate() const;
    // The same for the object's project, when the caller has it at hand.
    DMProjectViewObjectDelegate *visibleObjectDelegateInProject(const DMProject &project) const;

    // While one lives, objects report no redraws: an object placed on reading is placed where
    // the canvas already redraws (it asked for what is in view when the object went stale).
    class PlacingScope
    {
    public:
        PlacingScope() { ++s_placing; }
        ~PlacingScope() { --s_placing; }
        PlacingScope(const PlacingScope &) = delete;
        PlacingScope &operator=(const PlacingScope &) = delete;
    };

private:
    // The object's inspector, given this object and listed as shown; null when it has none.
    DMProjectViewObjectEditor *editorShowingThis();

    static inline quint64 s_placementClock = 1;
    static inline int s_placing = 0;

    bool m_isValid = true;
    qint32 m_viewModeVisibility = -1;
    DMTextAttributes m_textAttributes;
    QColor m_bestContrastColor;
    bool m_hovered = false;
    mutable bool m_guideAnchorsStale = false;
    struct Measured
    {
        QString text;
        QFont font;
        QSizeF size;
    };
    mutable std::optional<Measured> m_measured;
};
