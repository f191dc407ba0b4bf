#include "core/PassHash.h"

#include <sodium.h>

namespace {
bool initSodium()
{
    static const bool ok = sodium_init() >= 0;
    return ok;
}
} // namespace

namespace PassHash {

QString hash(const QString &password)
{
    if (!initSodium())
        return {};
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return {};
    return QString::fromLatin1(out);
}

bool verify(const QString &stored, const QString &password)
{
    if (!initSodium() || stored.isEmpty())
        return false;
    const QByteArray hashed = stored.toLatin1();
    const QByteArray utf8 = password.toUtf8();
    return crypto_pwhash_str_verify(hashed.constData(), utf8.constData(),
                                    static_cast<unsigned long long>(utf8.size())) == 0;
}

} // namespace PassHash
