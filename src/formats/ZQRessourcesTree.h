#pragma once

#include "DMArchivedObject.h"

#include <QVariantList>

// The resource tree of the earlier planner's documents, as a decoding target: node dictionaries
// (DMArchivedDictionary) with "Name", "Icon", "Cost" (per day) and, for a group, "Childs". The
// first node is the root, whose "Childs" are the top-level resources.
class ZQRessourcesTree : public DMArchivedObject
{
public:
    void initWithCoder(const DMArchiveCoder &coder) override;
    const QVariantList &ressourcesTree() const { return m_ressourcesTree; }

private:
    QVariantList m_ressourcesTree;
};
