#pragma once

#include <QString>

#include <optional>

class QMimeData;

// What a drag from the project outline (or the task list) carries under the outline drag type,
// and a drag from the resource list under its own type: the token of the document it came from and the dragged object's ID and class, never an
// address. The drop finds the document by its token and the object by its ID, so a payload whose
// document has closed, whose object is gone, or that another program wrote resolves to nothing.
struct DMProjectOutlineDragPayload
{
    static const QString kType; // "kDMProjectDocument_ProjectOutlineViewDragDataType"

    QString documentToken;
    quint64 objectID = 0;
    QString className;

    void writeToPasteboard(QMimeData *pasteboard, const QString &type = kType) const;
    QByteArray data() const;
    // Nothing for a pasteboard without the type, or bytes that are not such a payload.
    static std::optional<DMProjectOutlineDragPayload> fromPasteboard(const QMimeData *pasteboard,
                                                                     const QString &type = kType);
    static std::optional<DMProjectOutlineDragPayload> fromData(const QByteArray &data);
};
