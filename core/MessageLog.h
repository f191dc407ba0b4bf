#pragma once

#include <QByteArray>
#include <QString>

// quorin.log: the program's warnings and errors with the time and the operator, in a few files
// of bounded size, so a workstation that runs for years never fills its disk. Passwords in
// server addresses are masked before anything is written.
namespace MessageLog {

inline constexpr qint64 kMaxBytes = 1024 * 1024;
inline constexpr int kFiles = 5;

// From now on warnings and errors go to `folder`/quorin.log (made owner-only when first
// written) as well as to standard error.
void install(const QString &folder);

// Who the lines are written for: the operator logged in, or the command a script runs.
void setOperator(const QString &name);

// Appends `line` to `path`; a file that would grow past `maxBytes` first moves to path.1
// (path.1 to path.2 …), keeping `files` files in all. False when the folder cannot be written.
bool append(const QString &path, const QByteArray &line, qint64 maxBytes = kMaxBytes,
            int files = kFiles);

// `text` with the password of a server address or a password= option replaced by ***.
QString masked(const QString &text);

} // namespace MessageLog
