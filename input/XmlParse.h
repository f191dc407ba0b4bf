#pragma once

#include "input/WorkbookReader.h"

#include <algorithm>
#include <orcus/sax_parser.hpp>
#include <string>
#include <vector>

// XML parsed with liborcus's SAX parser, which reports each element's attributes before the
// element itself. A handler throws XmlStop to end the parsing early.
struct XmlStop
{
};

// Parses `bytes` with `handler`; false when the XML is malformed or the handler stopped.
template <typename Handler> bool parseXml(const std::vector<unsigned char> &bytes, Handler &handler)
{
    try {
        orcus::sax_parser<Handler> parser(reinterpret_cast<const char *>(bytes.data()),
                                          bytes.size(), handler);
        parser.parse();
    } catch (const XmlStop &) {
        return false;
    } catch (const std::exception &) {
        return false;
    }
    return true;
}

// A sheet handler's progress: told every 1 000 rows how far the parser is into `size` bytes;
// when it answers false the parsing ends (XmlStop) with `stopped` set.
struct RowProgress
{
    const WorkbookReader::Progress *progress = nullptr;
    size_t size = 0;
    bool stopped = false;

    void rowStarted(std::ptrdiff_t position)
    {
        if (++m_rowsSinceReport < 1000)
            return;
        m_rowsSinceReport = 0;
        const qint64 done = qint64(position) * 100 / qint64(std::max<size_t>(size, 1));
        if (!(*progress)(int(done))) {
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
