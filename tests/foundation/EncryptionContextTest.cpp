#include "DMEncryptionContext.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

// magic (8) + version (1) + salt (16) + IV (8) + password check (8)
constexpr qsizetype kHeader = 41;

QByteArray encrypted(const QString &password, const QByteArray &plain)
{
    QString error;
    const auto data = DMEncryptionContext(password).encryptData(plain, &error);
    EXPECT_TRUE(data.has_value()) << error.toStdString();
    return data.value_or(QByteArray());
}

TEST(EncryptionContext, RoundTripsEveryPasswordAndSize)
{
    QByteArray large(10 * 1024 * 1024 + 3, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(large.data()), large.size() / 4);
    const std::pair<QString, QByteArray> cases[] = {
        {"secret", "<?xml version=\"1.0\"?><plist><dict/></plist>"}, {"pässwörd €", "plist"}, {"", "plist"},
        {"pw", ""}, {"large", large},
    };
    for (const auto &[password, plain] : cases) {
        const QByteArray data = encrypted(password, plain);
        EXPECT_TRUE(data.startsWith(DMEncryptionContext::magic()));
        EXPECT_FALSE(data.contains("plist"));
        // The digest and padding to whole 8-byte blocks follow the header.
        EXPECT_EQ(data.size(), kHeader + (plain.size() + 16) / 8 * 8 + 8);
        const auto decrypted = DMEncryptionContext(password).decryptData(data);
        ASSERT_TRUE(decrypted.has_value()) << password.toStdString();
        EXPECT_TRUE(*decrypted == plain) << password.toStdString();
    }

    // Salt and IV differ every time.
    const QByteArray first = encrypted("pw", "same");
    const QByteArray second = encrypted("pw", "same");
    EXPECT_NE(first.mid(9, 24), second.mid(9, 24));
    EXPECT_NE(first.mid(kHeader), second.mid(kHeader));
}

TEST(EncryptionContext, WrongPasswordIsReportedNotReturned)
{
    const QByteArray data = encrypted("right", "contents");
    QString error;
    EXPECT_FALSE(DMEncryptionContext("wrong").decryptData(data, &error).has_value());
    EXPECT_EQ(error, "The password is incorrect.");
    EXPECT_FALSE(DMEncryptionContext("Right").decryptData(data).has_value());
}

TEST(EncryptionContext, AlteredBytesAreDetectedAnywhere)
{
    const QByteArray data = encrypted("pw", QByteArray(1000, 'x'));
    // Every byte of the salt, IV, check and ciphertext, flipped alone, must be refused.
    for (qsizetype i = 9; i < data.size(); ++i) {
        QByteArray altered = data;
        altered[i] = char(altered[i] ^ 0x01);
        QString error;
        ASSERT_FALSE(DMEncryptionContext("pw").decryptData(altered, &error).has_value()) << "byte " << i;
        ASSERT_FALSE(error.isEmpty());
    }
    QByteArray altered = data;
    altered[data.size() / 2] = char(altered[data.size() / 2] ^ 0x80);
    QString error;
    EXPECT_FALSE(DMEncryptionContext("pw").decryptData(altered, &error).has_value());
    EXPECT_EQ(error, "The encrypted document is damaged.");
}

TEST(EncryptionContext, TruncatedForeignAndLaterVersionDataAreRefused)
{
    const QByteArray data = encrypted("pw", QByteArray(100, 'y'));
    for (qsizetype length : {qsizetype(0), qsizetype(4), qsizetype(8), qsizetype(9), kHeader, kHeader + 16,
                             data.size() - 8, data.size() - 1}) {
        QString error;
        EXPECT_FALSE(DMEncryptionContext("pw").decryptData(data.first(length), &error).has_value()) << length;
        EXPECT_FALSE(error.isEmpty()) << length;
    }

    QString error;
    EXPECT_FALSE(DMEncryptionContext("pw").decryptData("<?xml version=\"1.0\"?>", &error).has_value());
    EXPECT_EQ(error, "The data is not an encrypted document.");

    QByteArray later = data;
    later[8] = 2;
    EXPECT_FALSE(DMEncryptionContext("pw").decryptData(later, &error).has_value());
    EXPECT_EQ(error, "The encrypted document was made by a later version of the application.");
    // No version was ever 0: such a byte is damage, not the mark of a later version.
    later[8] = 0;
    EXPECT_FALSE(DMEncryptionContext("pw").decryptData(later, &error).has_value());
    EXPECT_EQ(error, "The encrypted document is damaged.");

    // Extra bytes appended are not part of any valid document either.
    EXPECT_FALSE(DMEncryptionContext("pw").decryptData(data + QByteArray(8, '\0')).has_value());
}

} // namespace
