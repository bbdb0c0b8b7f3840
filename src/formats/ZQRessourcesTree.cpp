#include "ZQRessourcesTree.h"

#include "DMKeyedUnarchiver.h"

void ZQRessourcesTree::initWithCoder(const DMArchiveCoder &coder)
{
    m_ressourcesTree = coder.decodeArrayForKey(QStringLiteral("ressources tree struct"));
}
