#pragma once

#include "DMVCard.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Reads vCards (versions 3.0 and 4.0, and the 2.1 cards older address books still write): the
// lines are unfolded, quoted-printable and base64 values decoded, text taken as UTF-8 unless a
// CHARSET says otherwise (Latin-1 when it is not valid UTF-8), and N, FN, NICKNAME, ORG, EMAIL,
// TEL, ADR and PHOTO kept. Other properties are skipped.
//
// A text whose structure is broken (no card, a card without its END, a line that is no property,
// an unknown version, an inline photo that does not decode) reads as nothing, with a message that
// says what is wrong: a caller either gets whole cards or none.
class DMVCardReader
{
public:
    // Larger texts are refused before they are looked at.
    static constexpr qsizetype kMaximumSize = 16 * 1024 * 1024;

    // The cards of the text, in order; false with *error set (cards untouched) when it does not read.
    static bool readVCards(const QByteArray &data, QList<DMVCard> *cards, QString *error = nullptr);
    static bool readVCardsFromFile(const QString &path, QList<DMVCard> *cards, QString *error = nullptr);

    // The MIME types and file extension a vCard comes with: "text/vcard", "text/x-vcard",
    // "text/directory"; ".vcf", ".vcard".
    static const QStringList &mimeTypes();
    static bool hasVCardExtension(const QString &path);
};
