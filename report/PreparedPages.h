#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <iterator>
#include <memory>

class QDataStream;

// The pages of a prepared report. A long report's finished pages are kept in a temporary file
// rather than in memory: a million rows make about two gigabytes of drawing elements.
namespace Report {

// Kept small: a long report holds millions of them.
struct Element
{
    enum Kind : qint8 { Text, Line, Rect, Ellipse, Picture, CheckBox, PieChart, BarCode };

    Kind kind = Text;
    bool checked = false; // CheckBox
    qint32 style = 0;     // index into Prepared::styles
    qint32 chart = -1;    // PieChart: index into Prepared::charts
    QRectF rect;          // on the page
    QString
        text; // Text: "[PageCount]" is left to drawing time; Picture: the file; BarCode: the value

    bool operator==(const Element &) const = default;
};

QDataStream &operator<<(QDataStream &out, const Element &element);
QDataStream &operator>>(QDataStream &in, Element &element);

struct Page
{
    QList<Element> elements;

    bool operator==(const Page &) const = default;
};

class PageFile;

// Pages in order. Copies share the pages already on disk; a copy may be read on another thread
// while the original goes on growing.
class PageList
{
public:
    // About 200 MB of elements stay in memory before the oldest pages go to disk: a report of
    // 100 000 records (1.46 million elements) stays whole, as reading its pages back from disk
    // made its PDF 5-8 % slower.
    static constexpr qsizetype kDefaultElementsInMemory = 1'500'000;

    PageList() : PageList(kDefaultElementsInMemory) {}
    explicit PageList(qsizetype elementsInMemory);

    qsizetype size() const { return m_offsets.size() + m_memory.size(); }
    bool isEmpty() const { return size() == 0; }
    // A page read back from disk when it is kept there; an empty page out of range.
    Page at(qsizetype index) const;
    // The page being made: always in memory.
    Page &last() { return m_memory.last(); }
    void append(Page page);
    // The first `count` pages.
    PageList firstPages(qsizetype count) const;
    qsizetype pagesOnDisk() const { return m_offsets.size(); }
    qsizetype elementsInMemory() const { return m_elementsInMemory; }

    bool operator==(const PageList &other) const;

    class const_iterator
    {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = Page;
        using difference_type = qsizetype;
        using pointer = void;
        using reference = Page;

        const_iterator(const PageList *list, qsizetype index) : m_list(list), m_index(index) {}
        Page operator*() const { return m_list->at(m_index); }
        const_iterator &operator++()
        {
            ++m_index;
            return *this;
        }
        bool operator==(const const_iterator &other) const { return m_index == other.m_index; }

    private:
        const PageList *m_list;
        qsizetype m_index;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    void spill();

    qsizetype m_elementsInMemory;
    qsizetype m_elementsHeld = 0; // on the pages in memory but the last
    std::shared_ptr<PageFile> m_file;
    QList<qint64> m_offsets; // of the first pages, those on disk
    QList<Page> m_memory;    // the pages after them
};

} // namespace Report
