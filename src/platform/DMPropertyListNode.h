#pragma once

#include "DMPropertyListSplitter.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

// A node of a parsed property list, read in place: a large document is turned into objects one
// part at a time, without a second copy of the whole of it as QVariant values. Copies of a node
// share the parsed document, which lives as long as any of them. A null node stands for an
// absent value. Values convert as DMPropertyList reads them.
class DMPropertyListNode
{
public:
    // Seconds from 1970-01-01 to 2001-01-01, the reference date of property list dates.
    static constexpr qint64 kReferenceDateOffset = 978307200;

    DMPropertyListNode() = default;

    // The root of the parsed data, or a null node with *error set; the same checks and errors as
    // DMPropertyList::propertyListWithData. With partedArrayKey, the array under that key of
    // the root dictionary of a large XML list is parsed in parts on several threads (the same
    // values); arrayParts() gives its elements by part.
    static DMPropertyListNode parse(const QByteArray &data, QString *error = nullptr, const char *partedArrayKey = nullptr);

    bool isNull() const { return m_node == nullptr; }
    bool isDictionary() const;
    bool isArray() const;

    // The value under the key of a dictionary; null when absent or when this is no dictionary.
    // Where a (binary) list repeats a key, the last entry counts, as in value().
    DMPropertyListNode valueForKey(const char *key) const;
    // The elements of an array, in order; empty for any other node.
    QList<DMPropertyListNode> arrayItems() const;
    // The same in the parts it was parsed in: each part's nodes lie in a tree of their own, so
    // that the parts may be read (and taken from) on different threads at once. One part for an
    // array parsed whole.
    QList<QList<DMPropertyListNode>> arrayParts() const;
    // For an array parsed in parts, read and no longer needed: the parts are freed in the
    // background and the array reads as empty from then on. Nodes of the parts kept elsewhere
    // stay valid.
    void releaseParts();

    // The value with everything below it; invalid for a null node or a value of an unknown type.
    QVariant value() const;
    // A dictionary's entries but the one under `skippedKey`, each converted whole; empty for any
    // other node. The node under the key goes to *skippedValue (null when absent).
    QVariantMap dictionaryWithoutKey(const char *skippedKey, DMPropertyListNode *skippedValue = nullptr) const;
    // The same, and those entries leave the parsed document, freeing their memory at once: for
    // a reader that turns a large document into objects part by part. Nodes inside the entries
    // taken must not be used afterwards.
    QVariantMap takeDictionaryWithoutKey(const char *keptKey, DMPropertyListNode *keptValue = nullptr);

private:
    struct Document;
    static DMPropertyListNode parseInParts(const QByteArray &data, const char *key, const DMPropertyListSplitter::Span &span);
    DMPropertyListNode(std::shared_ptr<Document> document, void *node)
        : m_document(std::move(document)), m_node(node)
    {
    }

    std::shared_ptr<Document> m_document;
    void *m_node = nullptr;
};
