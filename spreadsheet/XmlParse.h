#pragma once

#include "spreadsheet/WorkbookReader.h"

#include <algorithm>
#include <cstring>
#include <orcus/sax_parser.hpp>
#include <string>
#include <vector>

// XML parsed with liborcus's SAX parser, which reports each element's attributes before the
// element itself. A handler throws XmlStop to end the parsing early.
struct XmlStop
{
};

// Hands the parser's callbacks on to a handler, counting the elements left open: the parser
// takes a part cut short for a whole one.
template <typename Handler> struct XmlBalance
{
    Handler &handler;
    qint64 open = 0;

    void doctype(const orcus::sax::doctype_declaration &d) { handler.doctype(d); }
    void start_declaration(std::string_view name) { handler.start_declaration(name); }
    void end_declaration(std::string_view name) { handler.end_declaration(name); }
    void start_element(const orcus::sax::parser_element &elem)
    {
        ++open;
        handler.start_element(elem);
    }
    void end_element(const orcus::sax::parser_element &elem)
    {
        --open;
        handler.end_element(elem);
    }
    void characters(std::string_view text, bool transient) { handler.characters(text, transient); }
    void attribute(const orcus::sax::parser_attribute &attr) { handler.attribute(attr); }
};

// Parses `bytes` with `handler`; false when the XML is malformed or cut short, or the handler
// stopped. The parser reads past the end it is given: the byte at the end, and the one after
// when the end cuts an attribute value with an entity short. A 0 byte and then one that starts
// no name stop it there; and as it takes a 0 byte for the end, XML holding one (which XML never
// does; a damaged deflate stream leaves zeros) is refused before it is parsed.
template <typename Handler> bool parseXml(std::vector<unsigned char> &bytes, Handler &handler)
{
    if (!bytes.empty() && std::memchr(bytes.data(), 0, bytes.size()))
        return false;
    const size_t size = bytes.size();
    bytes.reserve(size + 2);
    bytes.push_back(0);
    bytes.push_back(0xff);
    bool parsed = true;
    try {
        XmlBalance<Handler> balance{handler};
        orcus::sax_parser<XmlBalance<Handler>> parser(reinterpret_cast<const char *>(bytes.data()),
                                                      size, balance);
        parser.parse();
        parsed = balance.open == 0;
    } catch (const XmlStop &) {
        parsed = false;
    } catch (const std::exception &) {
        parsed = false;
    }
    bytes.resize(size);
    return parsed;
}

// A cell's text in UTF-8, gathered from the parser's pieces up to what a cell can hold (a
// character takes at most 3 bytes for each of its UTF-16 units), so that no repeat or run of
// pieces grows it further.
class CellBuffer
{
public:
    static constexpr size_t kMaxBytes = 3 * size_t(WorkbookLimits::kMaxCellChars);

    void clear()
    {
        m_text.clear();
        m_tooLong = false;
    }
    void append(std::string_view piece)
    {
        if (room(piece.size()))
            m_text.append(piece);
    }
    void append(size_t count, char c)
    {
        if (room(count))
            m_text.append(count, c);
    }
    QString text() const { return QString::fromUtf8(m_text.data(), qsizetype(m_text.size())); }
    const std::string &utf8() const { return m_text; }
    bool tooLong() const { return m_tooLong; }

private:
    bool room(size_t count)
    {
        if (!m_tooLong && m_text.size() + count > kMaxBytes)
            m_tooLong = true;
        return !m_tooLong;
    }

    std::string m_text;
    bool m_tooLong = false;
};

// A sheet handler's progress: told every 1 000 rows how far the parser is into `size` bytes;
// when it answers false the parsing ends (XmlStop) with `stopped` set.
struct RowProgress
{
    const WorkProgress *progress = nullptr;
    size_t size = 0;
    bool stopped = false;

    void rowStarted(std::ptrdiff_t position)
    {
        if (++m_rowsSinceReport < 1000)
            return;
        m_rowsSinceReport = 0;
        const qint64 done = qint64(position) * 100 / qint64(std::max<size_t>(size, 1));
        if (*progress && !(*progress)(int(done))) {
            stopped = true;
            throw XmlStop();
        }
    }

private:
    int m_rowsSinceReport = 0;
};

// Attribute and element handling shared by the workbook handlers: the default callbacks, and the
// attributes of the element that starts next.
class XmlHandlerBase
{
public:
    void doctype(const orcus::sax::doctype_declaration &) {}
    void start_declaration(std::string_view) {}
    void end_declaration(std::string_view) {}
    void attribute(const orcus::sax::parser_attribute &attr)
    {
        m_attributes.push_back(
            {std::string(attr.ns), std::string(attr.name), std::string(attr.value)});
    }

protected:
    struct Attribute
    {
        std::string ns;
        std::string name;
        std::string value;
    };
    // The value of the pending attribute `name` (any prefix, or exactly `ns` when given).
    std::string_view attribute(std::string_view name, std::string_view ns = {}) const
    {
        for (const Attribute &a : m_attributes) {
            if (a.name == name && (ns.empty() || a.ns == ns))
                return a.value;
        }
        return {};
    }
    // Called at the end of each start_element of a handler.
    void clearAttributes() { m_attributes.clear(); }

private:
    std::vector<Attribute> m_attributes;
};
