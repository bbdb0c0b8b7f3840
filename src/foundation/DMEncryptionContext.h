#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Password encryption of a document's contents: Blowfish-CBC with a key made by MD5 from a
// random salt and the password, and an MD5 digest of the plaintext inside the encrypted part so
// that a wrong password or altered bytes are reported, never returned as contents. The byte
// layout is described in docs/file-format.md.
class DMEncryptionContext
{
public:
    explicit DMEncryptionContext(const QString &password);

    // Each call uses a fresh salt and IV, so equal plaintexts give different results.
    // std::nullopt with *error set when the cipher is not available.
    std::optional<QByteArray> encryptData(const QByteArray &plaintext, QString *error = nullptr) const;

    // std::nullopt with *error set for data that is not ours, truncated, of a later version,
    // encrypted with another password, or altered.
    std::optional<QByteArray> decryptData(const QByteArray &data, QString *error = nullptr) const;

    // The first bytes of every encrypted document.
    static const QByteArray &magic();
    static constexpr quint8 version = 1;

private:
    QString m_password;
};
