// vCards as address books write them, read into the properties a resource takes: folded lines,
// escapes, quoted-printable and charsets, preferences, inline and referenced photos; damaged
// texts read as nothing with a message.
#include "DMVCardReader.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

DMVCard readOne(const QByteArray &text)
{
    QList<DMVCard> cards;
    QString error;
    EXPECT_TRUE(DMVCardReader::readVCards(text, &cards, &error)) << error.toStdString();
    EXPECT_EQ(cards.size(), 1);
    return cards.value(0);
}

QStringList texts(const QList<DMVCard::Value> &values)
{
    QStringList result;
    for (const DMVCard::Value &value : values)
        result << value.text;
    return result;
}

} // namespace

TEST(DMVCardReader, Version3WithFoldedLinesEscapesAndAnInlinePhoto)
{
    const QByteArray photo = QByteArray("\x89PNG\r\n\x1a\n") + "-not-really-an-image-";
    const QByteArray base64 = photo.toBase64();
    const QByteArray text = "BEGIN:VCARD\r\n"
                            "VERSION:3.0\r\n"
                            "N:Øster\\, gård;Zoë;Ann;Dr.;PhD\r\n"
                            "FN:Dr. Zoë Ann Øster\r\n"
                            " gård\r\n"
                            "ORG:Ünterwald Ingenieure;Brücken\\; Tunnel\r\n"
                            "item1.EMAIL;TYPE=INTERNET,WORK:zoe@example.org\r\n"
                            "EMAIL;TYPE=INTERNET;TYPE=HOME;TYPE=PREF:zoe@home.example\r\n"
                            "TEL;TYPE=CELL:+49 170 000\r\n"
                            "  0000\r\n"
                            "ADR;TYPE=WORK:;Geb. 4;Hauptstr. 1\\nHinterhaus;Zürich;ZH;8000;Schweiz\r\n"
                            "NOTE:ignored\\, as every property a resource does not take\r\n"
                            "PHOTO;ENCODING=b;TYPE=PNG:"
                            + base64.left(10) + "\r\n " + base64.mid(10) + "\r\n"
                            "END:VCARD\r\n";
    const DMVCard card = readOne(text);
    EXPECT_EQ(card.version, "3.0");
    EXPECT_EQ(card.familyName, "Øster, gård");
    EXPECT_EQ(card.givenName, "Zoë");
    EXPECT_EQ(card.additionalNames, "Ann");
    EXPECT_EQ(card.honorificPrefixes, "Dr.");
    EXPECT_EQ(card.honorificSuffixes, "PhD");
    EXPECT_EQ(card.formattedName, "Dr. Zoë Ann Østergård"); // the fold takes the blank away
    EXPECT_EQ(card.personName(), "Zoë Øster, gård");
    EXPECT_EQ(card.organization, "Ünterwald Ingenieure");
    EXPECT_EQ(card.organizationUnits, QStringList{"Brücken; Tunnel"});
    EXPECT_EQ(texts(card.emails), QStringList({"zoe@example.org", "zoe@home.example"}));
    EXPECT_EQ(card.emails.at(0).types, QStringList({"internet", "work"}));
    EXPECT_EQ(card.preferredEmail(), "zoe@home.example");
    EXPECT_EQ(card.preferredPhone(), "+49 170 000 0000");
    ASSERT_EQ(card.addresses.size(), 1);
    EXPECT_EQ(card.addresses.at(0).street, "Hauptstr. 1\nHinterhaus");
    EXPECT_EQ(card.addresses.at(0).extended, "Geb. 4");
    EXPECT_EQ(card.addresses.at(0).locality, "Zürich");
    EXPECT_EQ(card.addresses.at(0).postalCode, "8000");
    EXPECT_EQ(card.addresses.at(0).country, "Schweiz");
    EXPECT_EQ(card.photo, photo);
}

TEST(DMVCardReader, QuotedPrintableAndCharsetsOfOlderWriters)
{
    // Soft line breaks ("=" at the end of a line), UTF-8 bytes in quoted-printable, a Latin-1
    // charset, and bare parameters ("HOME", "PREF") as version 2.1 writes them.
    const QByteArray text = "BEGIN:VCARD\n"
                            "VERSION:2.1\n"
                            "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller-L=C3=BCdenscheid;J=C3=\n"
                            "=B6rg\n"
                            "ORG;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:Caf=E9 Cr=E8me=3D1\n"
                            "TEL;HOME:555-0100\n"
                            "TEL;WORK;PREF:555-0199\n"
                            "END:VCARD\n";
    const DMVCard card = readOne(text);
    EXPECT_EQ(card.familyName, "Müller-Lüdenscheid");
    EXPECT_EQ(card.givenName, "Jörg");
    EXPECT_EQ(card.organization, "Café Crème=1");
    EXPECT_EQ(card.preferredPhone(), "555-0199");
    EXPECT_EQ(card.phones.at(0).types, QStringList{"home"});

    // Bytes that are not UTF-8, with no charset named, are taken as Latin-1.
    const DMVCard latin = readOne("BEGIN:VCARD\nVERSION:3.0\nFN:Jos\xE9 Nu\xF1\x65z\nEND:VCARD\n");
    EXPECT_EQ(latin.formattedName, "José Nuñez");
}

TEST(DMVCardReader, Version4PreferencesUrisAndDataPhotos)
{
    const QByteArray text = "BEGIN:VCARD\r\n"
                            "VERSION:4.0\r\n"
                            "FN:Kim Lee\r\n"
                            "NICKNAME:Kimmy,KL\r\n"
                            "EMAIL;TYPE=\"work,voice\";PREF=2:kim@work.example\r\n"
                            "EMAIL;PREF=1:kim@example.net\r\n"
                            "TEL;VALUE=uri;TYPE=\"cell\":tel:+1-555-0100\r\n"
                            "PHOTO:data:image/png;base64,QUJD\r\n"
                            "END:VCARD\r\n";
    const DMVCard card = readOne(text);
    EXPECT_EQ(card.personName(), ""); // no N: the formatted name stands alone
    EXPECT_EQ(card.formattedName, "Kim Lee");
    EXPECT_EQ(card.nickname, "Kimmy");
    EXPECT_EQ(card.emails.at(0).types, QStringList({"work", "voice"}));
    EXPECT_EQ(card.preferredEmail(), "kim@example.net");
    EXPECT_EQ(card.preferredPhone(), "+1-555-0100");
    EXPECT_EQ(card.photo, "ABC");

    const DMVCard referenced = readOne("BEGIN:VCARD\nVERSION:4.0\nFN:R\nPHOTO:https://example.org/r.jpg\nEND:VCARD\n");
    EXPECT_TRUE(referenced.photo.isEmpty()); // a reference is never fetched
    EXPECT_EQ(referenced.photoURL, "https://example.org/r.jpg");
}

TEST(DMVCardReader, EveryCardOfAFileInOrderWithEmbeddedCardsSkipped)
{
    const QByteArray text = "\xEF\xBB\xBF"
                            "BEGIN:VCARD\nVERSION:3.0\nFN:First\nORG:Acme\n"
                            "AGENT;VALUE=vcard:\n" // an embedded card of an older writer
                            "BEGIN:VCARD\nFN:Agent\nEMAIL:agent@example.org\nEND:VCARD\n"
                            "EMAIL:first@example.org\nEND:VCARD\n"
                            "\n"
                            "begin:vcard\nversion:3.0\nfn:Second\nend:vcard\n";
    QList<DMVCard> cards;
    ASSERT_TRUE(DMVCardReader::readVCards(text, &cards));
    ASSERT_EQ(cards.size(), 2);
    EXPECT_EQ(cards.at(0).formattedName, "First");
    EXPECT_EQ(texts(cards.at(0).emails), QStringList{"first@example.org"});
    EXPECT_EQ(cards.at(1).formattedName, "Second");
}

TEST(DMVCardReader, DamagedTextsReadAsNothingWithAMessage)
{
    const struct
    {
        const char *name;
        QByteArray text;
        const char *message;
    } rows[] = {
        {"empty", "", "The file holds no vCard."},
        {"no card", "FN:Nobody\nEMAIL:x@example.org\n", "The file holds no vCard."},
        {"truncated", "BEGIN:VCARD\nVERSION:3.0\nFN:Cut off", "The vCard ends before its last card is complete."},
        {"not a property", "BEGIN:VCARD\nVERSION:3.0\nFN:A\ngarbage line\nEND:VCARD\n",
         "Line 4 of the vCard is not a property."},
        {"unknown version", "BEGIN:VCARD\nVERSION:9.9\nFN:A\nEND:VCARD\n",
         "The vCard has version 9.9, which cannot be read."},
        {"broken photo", "BEGIN:VCARD\nVERSION:3.0\nFN:A\nPHOTO;ENCODING=b:@@not base64@@\nEND:VCARD\n",
         "The picture in the vCard is damaged."},
        {"broken data photo", "BEGIN:VCARD\nVERSION:4.0\nFN:A\nPHOTO:data:image/png;base64\nEND:VCARD\n",
         "The picture in the vCard is damaged."},
        {"too large", QByteArray(DMVCardReader::kMaximumSize + 1, 'x'), "The vCard is too large."},
    };
    for (const auto &row : rows) {
        QList<DMVCard> cards{DMVCard()};
        QString error;
        EXPECT_FALSE(DMVCardReader::readVCards(row.text, &cards, &error)) << row.name;
        EXPECT_EQ(error, row.message) << row.name;
        EXPECT_EQ(cards.size(), 1) << row.name; // left as it was
    }

    QString error;
    EXPECT_FALSE(DMVCardReader::readVCardsFromFile(QStringLiteral("/nonexistent/card.vcf"), nullptr, &error));
    EXPECT_EQ(error, "\"card.vcf\" could not be read: No such file or directory");
}

TEST(DMVCardReader, FilesAndTypes)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Ann.VCF"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\r\nEND:VCARD\r\n");
    file.close();
    QList<DMVCard> cards;
    ASSERT_TRUE(DMVCardReader::readVCardsFromFile(path, &cards));
    EXPECT_EQ(cards.value(0).formattedName, "Ann");
    EXPECT_TRUE(DMVCardReader::hasVCardExtension(path));
    EXPECT_TRUE(DMVCardReader::hasVCardExtension(QStringLiteral("x.vcard")));
    EXPECT_FALSE(DMVCardReader::hasVCardExtension(QStringLiteral("x.vcf.txt")));
    EXPECT_TRUE(DMVCardReader::mimeTypes().contains(QStringLiteral("text/vcard")));
}
