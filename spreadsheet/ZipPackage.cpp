#include "spreadsheet/ZipPackage.h"

#include "spreadsheet/WorkbookReader.h"

#include <QFile>
#include <QtEndian>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

namespace {

constexpr quint32 kEntrySignature = 0x02014b50;
constexpr int kEndSize = 22;
constexpr int kEntrySize = 46;
// The directory read at most: some 250 000 parts, far more than any workbook has.
constexpr qint64 kMaxDirectory = 16 << 20;

quint32 le32(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 le16(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

} // namespace

std::unique_ptr<ZipPackage> ZipPackage::open(const QString &path, qint64 partBytes)
{
    std::unique_ptr<ZipPackage> package(new ZipPackage);
    package->m_partBytes = partBytes;
    if (!package->readDirectory(path))
        return nullptr;
    try {
        package->m_stream =
            std::make_unique<orcus::zip_archive_stream_fd>(QFile::encodeName(path).constData());
        package->m_archive = std::make_unique<orcus::zip_archive>(package->m_stream.get());
        package->m_archive->load();
    } catch (const std::exception &) {
        return nullptr;
    }
    return package;
}

// The directory as liborcus reads it: the last end record (within the end's comment reach),
// then entries one after another as long as each starts with its signature.
bool ZipPackage::readDirectory(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    m_fileSize = file.size();
    const qint64 tailSize = std::min<qint64>(m_fileSize, kEndSize + 0xffff);
    if (!file.seek(m_fileSize - tailSize))
        return false;
    const QByteArray tail = file.read(tailSize);
    const qsizetype end = tail.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || tail.size() - end < kEndSize)
        return false;
    const qint64 directory = le32(tail, end + 16);
    if (directory >= m_fileSize || !file.seek(directory))
        return false;
    const QByteArray entries = file.read(std::min(m_fileSize - directory, kMaxDirectory));
    qsizetype at = 0;
    while (entries.size() - at >= kEntrySize && le32(entries, at) == kEntrySignature) {
        const quint16 nameLength = le16(entries, at + 28);
        const qsizetype next =
            at + kEntrySize + nameLength + le16(entries, at + 30) + le16(entries, at + 32);
        if (entries.size() - at - kEntrySize < nameLength)
            return false;
        Sizes &sizes = m_parts[std::string(entries.constData() + at + kEntrySize, nameLength)];
        sizes.packed = std::max(sizes.packed, le32(entries, at + 20));
        sizes.inflated = std::max(sizes.inflated, le32(entries, at + 24));
        at = next;
    }
    return true;
}

ZipPackage::~ZipPackage() = default;

bool ZipPackage::has(std::string_view part) const
{
    return m_parts.find(part) != m_parts.end();
}

bool ZipPackage::read(std::string_view part, std::vector<unsigned char> *bytes,
                      QString *error) const
{
    const auto sizes = m_parts.find(part);
    if (sizes == m_parts.end() || sizes->second.packed > m_fileSize) {
        *error = WorkbookReasons::kDamaged;
        return false;
    }
    if (sizes->second.inflated > m_partBytes || sizes->second.packed > m_partBytes) {
        *error = WorkbookReasons::kTooLarge.arg(m_partBytes >> 20);
        return false;
    }
    try {
        if (!m_archive->read_file_entry(part, *bytes)) {
            *error = WorkbookReasons::kDamaged;
            return false;
        }
    } catch (const std::exception &) {
        *error = WorkbookReasons::kDamaged;
        return false;
    }
    // liborcus ends what it read with a 0 byte of its own; the part's bytes are those before.
    if (!bytes->empty())
        bytes->pop_back();
    return true;
}
