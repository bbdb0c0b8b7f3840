#include "DMEncryptionContext.h"

#include "DMLocalizedString.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <openssl/rand.h>

#include <array>
#include <memory>
#include <mutex>

// Layout: magic (8) | version (1) | salt (16) | IV (8) | password check (8) | ciphertext.
// The ciphertext is Blowfish-CBC with PKCS#7 padding of plaintext || MD5(plaintext).
namespace {

constexpr int kSaltLength = 16;
constexpr int kBlockLength = 8;                 // Blowfish block and IV length
constexpr int kKeyLength = 16;                  // an MD5 digest
constexpr int kCheckLength = 8;
constexpr int kDigestLength = 16;
constexpr int kMagicLength = 8;
constexpr int kHeaderLength = kMagicLength + 1 + kSaltLength + kBlockLength + kCheckLength;
constexpr int kMinimumCiphertext = kDigestLength + kBlockLength; // digest plus a full padding block
constexpr qsizetype kChunk = 1 << 20;           // EVP lengths are int: feed large data in pieces

using Key = std::array<unsigned char, kKeyLength>;
using Digest = std::array<unsigned char, kDigestLength>;

struct CipherContextFree
{
    void operator()(EVP_CIPHER_CTX *context) const { EVP_CIPHER_CTX_free(context); }
};
struct DigestContextFree
{
    void operator()(EVP_MD_CTX *context) const { EVP_MD_CTX_free(context); }
};

// Blowfish lives in OpenSSL 3's legacy provider; loading any provider explicitly stops the
// default one from loading by itself, so both are loaded, once, for the life of the process.
const EVP_CIPHER *blowfishCBC()
{
    static std::once_flag once;
    static EVP_CIPHER *cipher = nullptr;
    std::call_once(once, [] {
        if (!OSSL_PROVIDER_load(nullptr, "legacy") || !OSSL_PROVIDER_load(nullptr, "default"))
            return;
        cipher = EVP_CIPHER_fetch(nullptr, "BF-CBC", nullptr);
    });
    return cipher;
}

void setError(QString *error, const char *text)
{
    if (error)
        *error = DMLocalizedString(text);
}

bool md5(std::initializer_list<QByteArrayView> parts, Digest *out)
{
    std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
    if (!context || !EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr))
        return false;
    for (QByteArrayView part : parts) {
        for (qsizetype offset = 0; offset < part.size(); offset += kChunk) {
            const QByteArrayView piece = part.sliced(offset, std::min(kChunk, part.size() - offset));
            if (!EVP_DigestUpdate(context.get(), piece.data(), size_t(piece.size())))
                return false;
        }
    }
    unsigned int length = 0;
    return EVP_DigestFinal_ex(context.get(), out->data(), &length) && length == kDigestLength;
}

QByteArrayView view(const unsigned char *bytes, qsizetype length)
{
    return QByteArrayView(reinterpret_cast<const char *>(bytes), length);
}

// key = MD5(salt || password); check = first 8 bytes of MD5(key || salt).
bool deriveKey(const QString &password, QByteArrayView salt, Key *key, Digest *check)
{
    QByteArray secret = password.toUtf8();
    Digest digest;
    const bool ok = md5({salt, secret}, &digest);
    OPENSSL_cleanse(secret.data(), size_t(secret.size()));
    if (!ok)
        return false;
    std::copy(digest.begin(), digest.end(), key->begin());
    OPENSSL_cleanse(digest.data(), digest.size());
    return md5({view(key->data(), kKeyLength), salt}, check);
}

// Runs the cipher over the parts into *out (appended); false on any failure, including bad
// padding when decrypting.
bool runCipher(bool encrypt, const Key &key, QByteArrayView iv, std::initializer_list<QByteArrayView> parts,
               QByteArray *out)
{
    const EVP_CIPHER *cipher = blowfishCBC();
    std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree> context(EVP_CIPHER_CTX_new());
    if (!cipher || !context)
        return false;
    // The key length is set before the key itself: Blowfish keys vary in length.
    if (!EVP_CipherInit_ex(context.get(), cipher, nullptr, nullptr, nullptr, encrypt ? 1 : 0)
        || !EVP_CIPHER_CTX_set_key_length(context.get(), kKeyLength)
        || !EVP_CipherInit_ex(context.get(), nullptr, nullptr, key.data(),
                              reinterpret_cast<const unsigned char *>(iv.data()), encrypt ? 1 : 0))
        return false;

    qsizetype total = 0;
    for (QByteArrayView part : parts)
        total += part.size();
    qsizetype written = out->size();
    out->resize(written + total + kBlockLength);
    auto *buffer = reinterpret_cast<unsigned char *>(out->data());
    for (QByteArrayView part : parts) {
        for (qsizetype offset = 0; offset < part.size(); offset += kChunk) {
            const QByteArrayView piece = part.sliced(offset, std::min(kChunk, part.size() - offset));
            int length = 0;
            if (!EVP_CipherUpdate(context.get(), buffer + written, &length,
                                  reinterpret_cast<const unsigned char *>(piece.data()), int(piece.size())))
                return false;
            written += length;
        }
    }
    int length = 0;
    if (!EVP_CipherFinal_ex(context.get(), buffer + written, &length))
        return false;
    out->resize(written + length);
    return true;
}

} // namespace

DMEncryptionContext::DMEncryptionContext(const QString &password)
    : m_password(password)
{
}

const QByteArray &DMEncryptionContext::magic()
{
    static const QByteArray bytes("HYENCDOC", kMagicLength);
    return bytes;
}

std::optional<QByteArray> DMEncryptionContext::encryptData(const QByteArray &plaintext, QString *error) const
{
    if (!blowfishCBC()) {
        setError(error, "Blowfish encryption is not available: the OpenSSL legacy provider could not be loaded.");
        return std::nullopt;
    }
    std::array<unsigned char, kSaltLength + kBlockLength> random;
    Key key;
    Digest check, digest;
    if (RAND_bytes(random.data(), int(random.size())) != 1) {
        setError(error, "No random numbers are available for encryption.");
        return std::nullopt;
    }
    const QByteArrayView salt = view(random.data(), kSaltLength);
    const QByteArrayView iv = view(random.data() + kSaltLength, kBlockLength);

    QByteArray out;
    out.reserve(kHeaderLength + plaintext.size() + kDigestLength + kBlockLength);
    out.append(magic());
    out.append(char(version));
    out.append(salt);
    out.append(iv);
    bool ok = deriveKey(m_password, salt, &key, &check) && md5({plaintext}, &digest);
    if (ok) {
        out.append(view(check.data(), kCheckLength));
        ok = runCipher(true, key, iv, {plaintext, view(digest.data(), kDigestLength)}, &out);
    }
    OPENSSL_cleanse(key.data(), key.size());
    if (!ok) {
        setError(error, "The document could not be encrypted.");
        return std::nullopt;
    }
    return out;
}

std::optional<QByteArray> DMEncryptionContext::decryptData(const QByteArray &data, QString *error) const
{
    const QByteArrayView bytes(data);
    const qsizetype magicShown = std::min<qsizetype>(bytes.size(), kMagicLength);
    if (magicShown == 0 || bytes.first(magicShown) != QByteArrayView(magic()).first(magicShown)) {
        setError(error, "The data is not an encrypted document.");
        return std::nullopt;
    }
    if (bytes.size() > kMagicLength && quint8(bytes[kMagicLength]) != version) {
        // Versions count up from 1, so 0 can only be damage.
        setError(error, quint8(bytes[kMagicLength]) == 0 ? "The encrypted document is damaged."
                                                         : "The encrypted document was made by a later version of the application.");
        return std::nullopt;
    }
    const qsizetype cipherLength = bytes.size() - kHeaderLength;
    if (cipherLength < kMinimumCiphertext || cipherLength % kBlockLength != 0) {
        setError(error, "The encrypted document is truncated or damaged.");
        return std::nullopt;
    }
    if (!blowfishCBC()) {
        setError(error, "Blowfish encryption is not available: the OpenSSL legacy provider could not be loaded.");
        return std::nullopt;
    }

    const QByteArrayView salt = bytes.sliced(kMagicLength + 1, kSaltLength);
    const QByteArrayView iv = bytes.sliced(kMagicLength + 1 + kSaltLength, kBlockLength);
    const QByteArrayView storedCheck = bytes.sliced(kMagicLength + 1 + kSaltLength + kBlockLength, kCheckLength);
    Key key;
    Digest check;
    if (!deriveKey(m_password, salt, &key, &check)) {
        setError(error, "The document could not be decrypted.");
        return std::nullopt;
    }
    if (CRYPTO_memcmp(check.data(), storedCheck.data(), kCheckLength) != 0) {
        OPENSSL_cleanse(key.data(), key.size());
        setError(error, "The password is incorrect.");
        return std::nullopt;
    }

    QByteArray plain;
    const bool ok = runCipher(false, key, iv, {bytes.sliced(kHeaderLength)}, &plain);
    OPENSSL_cleanse(key.data(), key.size());
    Digest digest;
    if (!ok || plain.size() < kDigestLength
        || !md5({QByteArrayView(plain).first(plain.size() - kDigestLength)}, &digest)
        || CRYPTO_memcmp(digest.data(), plain.constData() + plain.size() - kDigestLength, kDigestLength) != 0) {
        setError(error, "The encrypted document is damaged.");
        return std::nullopt;
    }
    plain.chop(kDigestLength);
    return plain;
}
