#pragma once

#include <QString>

// Salted Argon2id password hashes; stored passwords are never reversible.
namespace PassHash {

// An empty result means the hashing library failed (out of memory).
QString hash(const QString &password);

// False for anything that is not a hash made by hash(), including an empty stored text.
bool verify(const QString &stored, const QString &password);

} // namespace PassHash
