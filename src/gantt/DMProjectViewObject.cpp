#include "DMProjectViewObject.h"

#include "DMColorAdditions.h"
#include "DMProject.h"
#include "DMProjectView.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewObjectDelegate.h"
#include "DMProjectViewObjectEditor.h"
#include "DMProjectViewHooks.h"

#include <typeinfo>

namespace {

// Margin of an object's redraw request around its bounding box (shadows, selection outlines).
constexpr qreal kUpdateMargin = 20.0;

} // namespace

DMProjectViewObject::DMProjectViewObject(const QRectF &frame)
    : DMBaseObject(frame), m_textAttributes(DMProjectViewObject::defaultTextAttributes())
{
    adoptTextAttributes(DMProjectViewObject::defaultTextAttributes());
}

DMProjectViewObject::~DMProjectViewObject()
{
    m_isValid = false;
}

QSizeF DMProjectViewObject::measuredSizeOfString(const QString &text) const
{
    if (!m_measured || m_measured->text != text || m_measured->font != m_textAttributes.font)
        m_measured = Measured{text, m_textAttributes.font, m_textAttributes.sizeOfString(text)};
    return m_measured->size;
}

DMTextAttributes DMProjectViewObject::defaultTextAttributes() const
{
    static const DMTextAttributes attributes{DMTextAttributes::smallSystemFont(), Qt::black, Qt::AlignLeft, false};
    return attributes;
}

void DMProjectViewObject::adoptTextAttributes(const DMTextAttributes &attributes)
{
    m_textAttributes = attributes;
    m_textAttributes.foregroundColor = DMBestTextColorForBackgroundColor(fillColor(), 1.0);
    m_bestContrastColor = DMBestTextColorForBackgroundColor(fillColor(), 0.4);
}

void DMProjectViewObject::setTextColor(const QColor &color)
{
    m_textAttributes.foregroundColor = color;
}

void DMProjectViewObject::resetTextAttributes()
{
    m_textAttributes.font = defaultTextAttributes().font;
}

QString DMProjectViewObject::objectEditorControllerClass() const
{
    return QString();
}

DMProjectViewObjectEditor *DMProjectViewObject::editorShowingThis()
{
    DMProjectViewObjectEditor *editor = DMProjectViewObjectEditor::sharedInstance(objectEditorControllerClass());
    if (!editor)
        return nullptr;
    DMProjectViewObjectEditor::addShownEditor(editor);
    editor->editObject(this);
    return editor;
}

void DMProjectViewObject::editInInspector()
{
    if (DMProjectViewObjectEditor *editor = DMProjectViewObjectEditor::sharedInstance(objectEditorControllerClass()))
        editor->editObject(this);
}

void DMProjectViewObject::editInView(DMProjectView *)
{
    if (DMProjectViewObjectEditor *editor = editorShowingThis())
        editor->showWindow();
}

void DMProjectViewObject::editNewObjectInView(DMProjectView *)
{
    if (DMProjectViewObjectEditor *editor = editorShowingThis())
        editor->showWindowForNewObject();
}

bool DMProjectViewObject::isVisibleInCurrentViewMode() const
{
    const std::shared_ptr<DMProject> owner = project();
    if (!owner || m_viewModeVisibility < 0)
        return false;
    return m_viewModeVisibility == kDMProjectViewObject_VisibleInAllModes
        || m_viewModeVisibility == owner->displayAttributes().viewMode;
}

DMProjectViewObjectDelegate *DMProjectViewObject::visibleObjectDelegate() const
{
    if (s_placing > 0 || m_viewModeVisibility < 0)
        return nullptr;
    const std::shared_ptr<DMProject> owner = project();
    return owner ? visibleObjectDelegateInProject(*owner) : nullptr;
}

DMProjectViewObjectDelegate *DMProjectViewObject::visibleObjectDelegateInProject(const DMProject &project) const
{
    const DMProject_DisplayAttributes &attributes = project.displayAttributes();
    if (s_placing > 0 || m_viewModeVisibility < 0
        || (m_viewModeVisibility != kDMProjectViewObject_VisibleInAllModes && m_viewModeVisibility != attributes.viewMode))
        return nullptr;
    DMProjectViewHooks *view = attributes.projectView;
    if (!view)
        return nullptr;
    // The canvas is known by its exact type without a search of its bases (a pushed chain asks
    // once per bar); other receivers are cast.
    if (typeid(*view) == typeid(DMProjectView))
        return static_cast<DMProjectView *>(view);
    return dynamic_cast<DMProjectViewObjectDelegate *>(view);
}

void DMProjectViewObject::setHovered(bool hovered)
{
    if (hovered == m_hovered)
        return;
    m_hovered = hovered;
    objectNeedsUpdate();
}

void DMProjectViewObject::setBoundingBox(const QRectF &boundingBox)
{
    const QRectF old = this->boundingBox();
    DMBaseObject::setBoundingBox(boundingBox);
    if (DMProjectViewObjectDelegate *delegate = visibleObjectDelegate())
        delegate->projectViewObjectBoundingBoxDidChangeFromTo(this, old, boundingBox);
    m_guideAnchorsStale = true;
}

DMBaseObjectList DMProjectViewObject::guideAnchorsObjects() const
{
    // Placing the labels moves them, which asks the canvas to redraw where they were and are.
    if (std::exchange(m_guideAnchorsStale, false))
        const_cast<DMProjectViewObject *>(this)->updateGuideAnchorObjects();
    return DMBaseObject::guideAnchorsObjects();
}

void DMProjectViewObject::objectNeedsUpdate()
{
    DMProjectViewObjectDelegate *delegate = visibleObjectDelegate();
    if (!delegate)
        return;
    // An object left to be placed is not placed for this: what is in view is redrawn, as when it
    // was left (a critical path turned by an undo reaches thousands of bars out of view).
    if (isPlacementStale())
        delegate->projectViewObjectWillBePlacedAgain(this);
    else
        delegate->projectViewObjectNeedsUpdateWithBoundingBox(
            this, boundingBox().adjusted(-kUpdateMargin, -kUpdateMargin, kUpdateMargin, kUpdateMargin));
}

void DMProjectViewObject::setFillColor(const QColor &color)
{
    DMBaseObject::setFillColor(color);
    m_textAttributes.foregroundColor = DMBestTextColorForBackgroundColor(color, 1.0);
    m_bestContrastColor = DMBestTextColorForBackgroundColor(color, 0.4);
    objectNeedsUpdate();
}

void DMProjectViewObject::setStrokeColor(const QColor &color)
{
    DMBaseObject::setStrokeColor(color);
    objectNeedsUpdate();
}

bool DMProjectViewObject::presentsContextMenuFromEventInViewWithDelegate(const DMEvent &, DMProjectView *,
                                                                         DMObjectViewDelegate *)
{
    return false;
}
