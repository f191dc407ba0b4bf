#include "spreadsheet/CompoundFile.h"

#include "spreadsheet/WorkbookReader.h"

#include <QtEndian>
#include <vector>

namespace {

constexpr quint32 kMaxRegular = 0xfffffffa;
constexpr quint32 kEndOfChain = 0xfffffffe;
constexpr quint32 kNoStream = 0xffffffff;
constexpr int kHeaderDifat = 109;
constexpr int kEntrySize = 128;

quint32 le32(const QByteArray &bytes, qint64 at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 le16(const QByteArray &bytes, qint64 at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 le32(const std::vector<char> &bytes, qint64 at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

quint16 le16(const std::vector<char> &bytes, qint64 at)
{
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

class Reader
{
public:
    explicit Reader(const QByteArray &file) : m_file(file) {}

    bool read(QByteArray *stream) { return header() && fat() && directory() && workbook(stream); }

private:
    bool header()
    {
        if (m_file.size() < 512 || !m_file.startsWith(QByteArray::fromHex("d0cf11e0a1b11ae1")) ||
            le16(m_file, 0x1c) != 0xfffe)
            return false;
        const quint16 major = le16(m_file, 0x1a);
        const quint16 shift = le16(m_file, 0x1e);
        if (!((major == 3 && shift == 9) || (major == 4 && shift == 12)) ||
            le16(m_file, 0x20) != 6 || le32(m_file, 0x38) != 4096)
            return false;
        m_sectorSize = qint64(1) << shift;
        if (m_file.size() < m_sectorSize)
            return false;
        m_sectors = (m_file.size() - m_sectorSize + m_sectorSize - 1) / m_sectorSize;
        return true;
    }

    qint64 offsetOf(quint32 sector) const { return (qint64(sector) + 1) * m_sectorSize; }

    // Whether sector `s` lies whole within the file.
    bool inFile(quint32 s) const
    {
        return s <= kMaxRegular && offsetOf(s) + m_sectorSize <= m_file.size();
    }

    // The FAT's sectors come from the header's list and the chain of DIFAT sectors.
    bool fat()
    {
        const quint32 fatSectors = le32(m_file, 0x2c);
        if (fatSectors == 0 || qint64(fatSectors) > m_sectors)
            return false;
        std::vector<quint32> fatList;
        for (int i = 0; i < kHeaderDifat && fatList.size() < fatSectors; ++i)
            fatList.push_back(le32(m_file, 0x4c + 4 * i));
        quint32 difat = le32(m_file, 0x44);
        const qint64 perDifat = m_sectorSize / 4 - 1;
        for (qint64 seen = 0; fatList.size() < fatSectors; ++seen) {
            if (seen > m_sectors || !inFile(difat))
                return false;
            for (qint64 i = 0; i < perDifat && fatList.size() < fatSectors; ++i)
                fatList.push_back(le32(m_file, offsetOf(difat) + 4 * i));
            difat = le32(m_file, offsetOf(difat) + 4 * perDifat);
        }
        m_fat.reserve(fatList.size() * size_t(m_sectorSize / 4));
        for (const quint32 s : fatList) {
            if (!inFile(s))
                return false;
            for (qint64 i = 0; i < m_sectorSize / 4; ++i)
                m_fat.push_back(le32(m_file, offsetOf(s) + 4 * i));
        }
        return true;
    }

    // The sectors of the chain from `start` in `table`, each within `limit`, without a loop.
    static bool chain(const std::vector<quint32> &table, quint32 start, qint64 limit,
                      std::vector<quint32> *sectors)
    {
        sectors->clear();
        for (quint32 s = start; s != kEndOfChain; s = table[s]) {
            if (qint64(s) >= limit || s >= table.size() || qint64(sectors->size()) >= limit)
                return false;
            sectors->push_back(s);
        }
        return true;
    }

    bool directory()
    {
        std::vector<quint32> sectors;
        if (!chain(m_fat, le32(m_file, 0x30), m_sectors, &sectors) || sectors.empty())
            return false;
        for (const quint32 s : sectors) {
            if (!inFile(s))
                return false;
            m_directory.insert(m_directory.end(), m_file.constData() + offsetOf(s),
                               m_file.constData() + offsetOf(s) + m_sectorSize);
        }
        const qint64 entries = qint64(m_directory.size()) / kEntrySize;
        for (qint64 e = 0; e < entries; ++e) {
            const qint64 at = e * kEntrySize;
            const quint16 nameBytes = le16(m_directory, at + 0x40);
            const quint8 type = quint8(m_directory.at(size_t(at + 0x42)));
            if (type == 0)
                continue;
            if (nameBytes > 64 || nameBytes % 2 != 0 || (type != 1 && type != 2 && type != 5) ||
                (type == 5) != (e == 0))
                return false;
            for (const int link : {0x44, 0x48, 0x4c}) {
                const quint32 id = le32(m_directory, at + link);
                if (id != kNoStream && qint64(id) >= entries)
                    return false;
            }
        }
        return entries > 0 && quint8(m_directory.at(size_t(0x42))) == 5;
    }

    QString nameOf(qint64 entry) const
    {
        const qint64 at = entry * kEntrySize;
        // Unused entries are not checked: their length may say anything.
        const int chars = std::clamp(le16(m_directory, at + 0x40) / 2 - 1, 0, 31);
        QString name(chars, Qt::Uninitialized);
        for (int i = 0; i < chars; ++i)
            name[i] = QChar(le16(m_directory, at + 2 * i));
        return name;
    }

    qint64 sizeOf(qint64 entry) const
    {
        const qint64 at = entry * kEntrySize;
        // Version 3 files keep only the low half; writers may leave garbage in the high one.
        return m_sectorSize == 512
                   ? qint64(le32(m_directory, at + 0x78))
                   : qint64(qFromLittleEndian<quint64>(m_directory.data() + at + 0x78));
    }

    bool workbook(QByteArray *stream)
    {
        qint64 size = -1;
        quint32 start = 0;
        bool named = false;
        for (qint64 e = 0; e < qint64(m_directory.size()) / kEntrySize; ++e) {
            const QString name = nameOf(e);
            if (quint8(m_directory.at(size_t(e * kEntrySize + 0x42))) == 2 &&
                (name == u"Workbook" || (!named && name == u"Book"))) {
                named = name == u"Workbook";
                size = sizeOf(e);
                start = le32(m_directory, e * kEntrySize + 0x74);
            }
        }
        if (size < 0 || size > m_file.size())
            return false;
        std::vector<quint32> sectors;
        if (size >= 4096) {
            if (!chain(m_fat, start, m_sectors, &sectors) ||
                qint64(sectors.size()) * m_sectorSize < size)
                return false;
            for (const quint32 s : sectors) {
                if (!inFile(s))
                    return false;
                stream->append(m_file.mid(offsetOf(s), m_sectorSize));
            }
        } else {
            // A small stream lives in the mini stream: 64-byte sectors inside the root's chain.
            std::vector<quint32> miniFat;
            if (!chain(m_fat, le32(m_file, 0x3c), m_sectors, &sectors))
                return false;
            for (const quint32 s : sectors) {
                if (!inFile(s))
                    return false;
                for (qint64 i = 0; i < m_sectorSize / 4; ++i)
                    miniFat.push_back(le32(m_file, offsetOf(s) + 4 * i));
            }
            QByteArray mini;
            if (!chain(m_fat, le32(m_directory, 0x74), m_sectors, &sectors))
                return false;
            for (const quint32 s : sectors) {
                if (!inFile(s))
                    return false;
                mini.append(m_file.mid(offsetOf(s), m_sectorSize));
            }
            if (!chain(miniFat, start, mini.size() / 64, &sectors) ||
                qint64(sectors.size()) * 64 < size)
                return false;
            for (const quint32 s : sectors)
                stream->append(mini.mid(qint64(s) * 64, 64));
        }
        stream->truncate(size);
        return true;
    }

    const QByteArray &m_file;
    qint64 m_sectorSize = 512;
    qint64 m_sectors = 0;
    std::vector<quint32> m_fat;
    std::vector<char> m_directory;
};

} // namespace

namespace CompoundFile {

bool workbookStream(const QByteArray &file, QByteArray *stream, QString *error)
{
    stream->clear();
    if (!Reader(file).read(stream)) {
        *error = WorkbookReasons::kDamaged;
        return false;
    }
    return true;
}

} // namespace CompoundFile
