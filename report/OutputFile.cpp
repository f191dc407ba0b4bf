#include "report/OutputFile.h"

#include <QUuid>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace Report {

OutputFile::OutputFile(const QString &target)
    : m_target(target), m_part(target + u'.' + QUuid::createUuid().toString(QUuid::WithoutBraces) +
                               QStringLiteral(".part"))
{
}

OutputFile::~OutputFile()
{
    if (!m_committed) {
        m_part.close();
        m_part.remove();
    }
}

bool OutputFile::open(QString *error)
{
    if (m_part.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                    QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return true;
    *error = QStringLiteral("无法写入 %1：%2").arg(m_target, m_part.errorString());
    return false;
}

bool OutputFile::commit(QString *error)
{
    const bool written = m_part.flush() && ::fsync(m_part.handle()) == 0;
    const QString reason = written ? QString() : m_part.errorString();
    m_part.close();
    if (!written) {
        *error = QStringLiteral("无法写入 %1：%2").arg(m_target, reason);
        return false;
    }
    // rename() replaces whatever stands at the target, a link included, in one step.
    if (std::rename(QFile::encodeName(m_part.fileName()).constData(),
                    QFile::encodeName(m_target).constData()) != 0) {
        *error = QStringLiteral("无法写入 %1：%2")
                     .arg(m_target, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_committed = true;
    return true;
}

} // namespace Report
