// Links: hy_foundation
// Document decryption, past the password check too. The first byte picks what the rest is:
//   0  an encrypted document, decrypted with a fixed password: refused cleanly;
//   1  salt, IV and ciphertext, put under a header whose password check is made right for the
//      fixed password, so the cipher, the padding and the digest checks see fuzzed bytes;
//   2  two bytes of damage position, one damage mask, then a plaintext: encrypted, damaged
//      at that position when the mask is not 0, decrypted and read as a property list the
//      way a package's project is read. Undamaged it must come back unchanged; damaged it
//      must never be accepted.
#include "DMEncryptionContext.h"
#include "DMPropertyList.h"

#include <openssl/evp.h>

#include <cstdint>
#include <cstdlib>

namespace {

const QString kPassword = QStringLiteral("secret");
constexpr int kSaltLength = 16;
constexpr int kIVLength = 8;

QByteArray md5(const QByteArray &bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.constData(), size_t(bytes.size()), digest, &length, EVP_md5(), nullptr);
    return QByteArray(reinterpret_cast<const char *>(digest), int(length));
}

// The header docs/file-format.md describes, with the password check the fixed password gives.
QByteArray withValidHeader(QByteArray rest)
{
    if (rest.size() < kSaltLength + kIVLength)
        rest.append(QByteArray(kSaltLength + kIVLength - rest.size(), '\0'));
    const QByteArray salt = rest.first(kSaltLength);
    const QByteArray key = md5(salt + kPassword.toUtf8());
    return DMEncryptionContext::magic() + char(DMEncryptionContext::version) + salt + rest.mid(kSaltLength, kIVLength)
        + md5(key + salt).first(8) + rest.mid(kSaltLength + kIVLength);
}

void roundTrip(const QByteArray &input)
{
    if (input.size() < 3)
        return;
    const int position = (quint8(input[0]) << 8) | quint8(input[1]);
    const char mask = input[2];
    const QByteArray plaintext = input.mid(3);
    const DMEncryptionContext context(kPassword);
    std::optional<QByteArray> document = context.encryptData(plaintext);
    if (!document)
        abort();
    if (mask != 0)
        (*document)[position % document->size()] ^= mask;
    const std::optional<QByteArray> decrypted = context.decryptData(*document);
    if (mask != 0 ? decrypted.has_value() : decrypted != plaintext)
        abort();
    if (decrypted)
        (void)DMPropertyList::propertyListWithData(*decrypted);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const DMEncryptionContext context(kPassword);
    QString error;
    switch (data[0] % 3) {
    case 0:
        (void)context.decryptData(rest, &error);
        break;
    case 1:
        if (context.decryptData(withValidHeader(rest), &error) || error == QLatin1String("The password is incorrect."))
            abort(); // random bytes never carry a right digest, and the check was made right
        break;
    default:
        roundTrip(rest);
        break;
    }
    return 0;
}
