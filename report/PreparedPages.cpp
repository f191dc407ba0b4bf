#include "report/PreparedPages.h"

#include <QDataStream>
#include <QDir>
#include <QMutex>
#include <QTemporaryFile>
#include <cmath>
#include <limits>

namespace Report {

QDataStream &operator<<(QDataStream &out, const Element &e)
{
    return out << qint32(e.kind) << e.checked << e.style << e.chart << e.rect << e.text;
}

QDataStream &operator>>(QDataStream &in, Element &e)
{
    qint32 kind = 0;
    in >> kind >> e.checked >> e.style >> e.chart >> e.rect >> e.text;
    const QRectF &r = e.rect;
    if (kind < Element::Text || kind > Element::BarCode || !std::isfinite(r.x()) ||
        !std::isfinite(r.y()) || !std::isfinite(r.width()) || !std::isfinite(r.height()))
        in.setStatus(QDataStream::ReadCorruptData);
    e.kind = Element::Kind(kind);
    return in;
}

// The temporary file of one report's pages, written only at its end, so a page once written
// never changes; removed with the last list that refers to it.
class PageFile
{
public:
    PageFile() : m_file(QDir::temp().filePath(QStringLiteral("quorin-pages-XXXXXX"))) {}

    bool open() { return m_file.open(); }

    // Where the page went; -1 when the file cannot take it (a full disk).
    qint64 write(const Page &page)
    {
        QMutexLocker lock(&m_mutex);
        const qint64 offset = m_file.size();
        if (!m_file.seek(offset))
            return -1;
        QDataStream out(&m_file);
        out << qint32(page.elements.size());
        for (const Element &e : page.elements)
            out << e;
        if (out.status() != QDataStream::Ok || !m_file.flush()) {
            m_file.resize(offset);
            return -1;
        }
        return offset;
    }

    Page read(qint64 offset)
    {
        QMutexLocker lock(&m_mutex);
        Page page;
        if (!m_file.seek(offset))
            return page;
        QDataStream in(&m_file);
        qint32 count = 0;
        in >> count;
        page.elements.reserve(count);
        for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
            Element e;
            in >> e;
            page.elements << e;
        }
        return page;
    }

private:
    QMutex m_mutex;
    QTemporaryFile m_file;
};

PageList::PageList(qsizetype elementsInMemory) : m_elementsInMemory(elementsInMemory) {}

Page PageList::at(qsizetype index) const
{
    if (index < 0 || index >= size())
        return {};
    if (index < m_offsets.size())
        return m_file->read(m_offsets.at(index));
    return m_memory.at(index - m_offsets.size());
}

void PageList::append(Page page)
{
    if (!m_memory.isEmpty())
        m_elementsHeld += m_memory.last().elements.size();
    m_memory.append(std::move(page));
    if (m_elementsHeld > m_elementsInMemory)
        spill();
}

// The oldest pages in memory go to disk until half the allowance is left; the page being made
// stays. Without room on disk they all stay, as they would without the file.
void PageList::spill()
{
    if (!m_file) {
        m_file = std::make_shared<PageFile>();
        if (!m_file->open()) {
            qWarning("report pages stay in memory: no temporary file in %s",
                     qPrintable(QDir::tempPath()));
            m_elementsInMemory = std::numeric_limits<qsizetype>::max();
            return;
        }
    }
    qsizetype written = 0;
    while (m_elementsHeld > m_elementsInMemory / 2 && written < m_memory.size() - 1) {
        const qint64 offset = m_file->write(m_memory.at(written));
        if (offset < 0) {
            qWarning("report pages stay in memory: the temporary file is full");
            m_elementsInMemory = std::numeric_limits<qsizetype>::max();
            break;
        }
        m_offsets << offset;
        m_elementsHeld -= m_memory.at(written).elements.size();
        ++written;
    }
    m_memory.remove(0, written);
}

PageList PageList::firstPages(qsizetype count) const
{
    PageList first = *this;
    count = qBound(qsizetype(0), count, size());
    if (count <= m_offsets.size()) {
        first.m_offsets.resize(count);
        first.m_memory.clear();
    } else {
        first.m_memory.resize(count - m_offsets.size());
    }
    first.m_elementsHeld = 0;
    for (qsizetype i = 0; i + 1 < first.m_memory.size(); ++i)
        first.m_elementsHeld += first.m_memory.at(i).elements.size();
    return first;
}

bool PageList::operator==(const PageList &other) const
{
    if (size() != other.size())
        return false;
    for (qsizetype i = 0; i < size(); ++i) {
        if (at(i) != other.at(i))
            return false;
    }
    return true;
}

} // namespace Report
