#include "spreadsheet/BiffRecords.h"

#include <QtEndian>
#include <vector>

namespace {

constexpr quint16 kBof = 0x0809;
constexpr quint16 kBoundSheet = 0x0085;
constexpr quint16 kFormat = 0x041e;
constexpr quint16 kLabel = 0x0204;
constexpr quint16 kSst = 0x00fc;
constexpr quint16 kContinue = 0x003c;
constexpr quint16 kDimensions = 0x0200;
// BIFF8 keeps a record's data within 8 224 bytes; older versions within 2 080.
constexpr qint64 kMaxRecord = 8224;

quint16 le16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 le32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

struct Record
{
    quint16 type;
    const char *data;
    qint64 size;
};

// Walks the shared strings: each a length, flags, optional run and extension counts, its
// characters (which may go on in the next CONTINUE, after a new flags byte) and the runs and
// extension bytes, all within the SST and its continuations.
class SharedStrings
{
public:
    explicit SharedStrings(std::vector<Record> segments) : m_segments(std::move(segments)) {}

    bool sound()
    {
        if (!take(8))
            return false;
        const quint32 unique = le32(m_segments.front().data + 4);
        for (quint32 i = 0; i < unique; ++i) {
            if (atEnd())
                return true; // fewer than announced: FreeXL stops there too
            if (!string())
                return false;
        }
        return true;
    }

private:
    bool atEnd() const
    {
        return m_segment + 1 >= m_segments.size() && m_at >= m_segments[m_segment].size;
    }

    // The next `count` bytes, from the current segment or the next ones.
    bool take(qint64 count, const char **bytes = nullptr)
    {
        if (m_at == m_segments[m_segment].size && m_segment + 1 < m_segments.size()) {
            ++m_segment;
            m_at = 0;
        }
        if (m_segments[m_segment].size - m_at < count)
            return false;
        if (bytes)
            *bytes = m_segments[m_segment].data + m_at;
        m_at += count;
        return true;
    }

    // Skips `count` bytes that may run over into the next segments.
    bool skip(qint64 count)
    {
        while (count > 0) {
            qint64 here = std::min(count, m_segments[m_segment].size - m_at);
            if (here == 0) {
                if (m_segment + 1 >= m_segments.size())
                    return false;
                ++m_segment;
                m_at = 0;
                continue;
            }
            m_at += here;
            count -= here;
        }
        return true;
    }

    bool string()
    {
        const char *p = nullptr;
        if (!take(3, &p))
            return false;
        qint64 chars = le16(p);
        quint8 flags = quint8(p[2]);
        qint64 runs = 0;
        qint64 extension = 0;
        if ((flags & 0x08) && take(2, &p))
            runs = le16(p);
        else if (flags & 0x08)
            return false;
        if ((flags & 0x04) && take(4, &p))
            extension = le32(p);
        else if (flags & 0x04)
            return false;
        while (chars > 0) {
            const qint64 width = (flags & 0x01) ? 2 : 1;
            const qint64 here = std::min(chars, (m_segments[m_segment].size - m_at) / width);
            if (here == 0) {
                // The characters go on in the next CONTINUE, which starts with their flags.
                if (m_segment + 1 >= m_segments.size())
                    return false;
                ++m_segment;
                m_at = 0;
                if (!take(1, &p))
                    return false;
                flags = quint8(p[0]);
                continue;
            }
            m_at += here * width;
            chars -= here;
        }
        return skip(4 * runs) && skip(extension);
    }

    std::vector<Record> m_segments;
    size_t m_segment = 0;
    qint64 m_at = 0;
};

// A BIFF8 string of `chars` characters, its flags byte at `flagsAt`, lies within the record.
bool fits(const Record &r, qint64 chars, qint64 flagsAt)
{
    if (flagsAt >= r.size)
        return chars == 0;
    const qint64 width = (quint8(r.data[flagsAt]) & 0x01) ? 2 : 1;
    return flagsAt + 1 + chars * width <= r.size;
}

std::vector<Record> records(const QByteArray &stream, bool *whole)
{
    std::vector<Record> list;
    *whole = true;
    qint64 at = 0;
    while (at + 4 <= stream.size()) {
        const quint16 type = le16(stream.constData() + at);
        const qint64 size = le16(stream.constData() + at + 2);
        if (at + 4 + size > stream.size() || size > kMaxRecord) {
            *whole = false;
            return list;
        }
        list.push_back({type, stream.constData() + at + 4, size});
        at += 4 + size;
    }
    return list;
}

} // namespace

namespace BiffRecords {

bool sound(const QByteArray &stream)
{
    bool whole = false;
    const std::vector<Record> list = records(stream, &whole);
    if (!whole || list.empty() || list.front().type != kBof || list.front().size < 2)
        return false;
    const bool biff8 = le16(list.front().data) == 0x0600;
    for (size_t i = 0; i < list.size(); ++i) {
        const Record &r = list[i];
        switch (r.type) {
        case kBoundSheet:
            if (r.size < (biff8 ? 8 : 7) ||
                (biff8 ? !fits(r, quint8(r.data[6]), 7) : 7 + quint8(r.data[6]) > r.size))
                return false;
            break;
        case kFormat:
            if (r.size < (biff8 ? 5 : 3) ||
                (biff8 ? !fits(r, le16(r.data + 2), 4) : 3 + quint8(r.data[2]) > r.size))
                return false;
            break;
        case kLabel:
            if (r.size < 8 ||
                (biff8 ? !fits(r, le16(r.data + 6), 8) : 8 + le16(r.data + 6) > r.size))
                return false;
            break;
        case kSst: {
            std::vector<Record> segments = {r};
            for (size_t j = i + 1; j < list.size() && list[j].type == kContinue; ++j)
                segments.push_back(list[j]);
            if (!SharedStrings(std::move(segments)).sound())
                return false;
            break;
        }
        default:
            break;
        }
    }
    return true;
}

qint64 declaredCellBytes(const QByteArray &stream, qint64 cellBytes)
{
    bool whole = false;
    qint64 total = 0;
    for (const Record &r : records(stream, &whole)) {
        if (r.type == kDimensions && r.size >= 12)
            total += qint64(le32(r.data + 4)) * le16(r.data + 10) * cellBytes;
        else if (r.type == kSst && r.size >= 8)
            total += qint64(le32(r.data + 4)) * cellBytes;
    }
    return total;
}

} // namespace BiffRecords
