#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One contact read from a vCard: the properties a resource can take, decoded to plain text.
// Values of a kind keep the order of the card; `preferred` marks the one the card prefers.
struct DMVCard
{
    struct Value
    {
        QString text;
        QStringList types; // lower case: "work", "home", "cell", "voice", ...
        int preference = 100; // 1 is most preferred (PREF=1, or TYPE=pref); 100 when not said
    };
    struct Address
    {
        QString postOfficeBox, extended, street, locality, region, postalCode, country;
        QStringList types;
    };

    QString version;          // "3.0", "4.0" (or "2.1" for older writers)
    QString formattedName;    // FN
    QString familyName;       // N, first component
    QString givenName;        // N, second component
    QString additionalNames;  // N, third component
    QString honorificPrefixes;
    QString honorificSuffixes;
    QString nickname;         // the first of NICKNAME
    QString organization;     // ORG, first component (the organization's name)
    QStringList organizationUnits;
    QList<Value> emails;
    QList<Value> phones;
    QList<Address> addresses;
    QByteArray photo;         // PHOTO given inline: the image file's bytes
    QString photoURL;         // PHOTO given by reference; never fetched

    // The most preferred value (the first of equals); empty when there is none.
    static QString preferredValue(const QList<Value> &values);
    QString preferredEmail() const { return preferredValue(emails); }
    QString preferredPhone() const { return preferredValue(phones); }
    // "Given Family", either part alone when the other is empty.
    QString personName() const;
};
