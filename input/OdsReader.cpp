#include "input/OdsReader.h"

#include "input/CellText.h"
#include "input/XmlParse.h"
#include "input/ZipPackage.h"

#include <charconv>

namespace {

// Spreadsheets repeat an empty row or cell up to the sheet's end; a filled one is copied out at
// most this often.
constexpr int kMaxRepeat = 100000;

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

int repeatOf(std::string_view text)
{
    int count = 1;
    if (!text.empty())
        std::from_chars(text.data(), text.data() + text.size(), count);
    return std::max(count, 1);
}

struct ContentHandler : XmlHandlerBase
{
    // The sheet to read; -1 lists the sheets' names only.
    int wanted = -1;
    RowProgress rows;
    QStringList names;
    SheetCollector collector;

    bool inWanted = false;
    int row = 0;
    int rowRepeat = 1;
    int column = 0;
    int cellRepeat = 1;
    std::vector<std::pair<int, QString>> rowCells;
    QString cellText;
    std::string paragraph;
    int paragraphs = 0;
    int annotationDepth = 0;
    bool inParagraph = false;

    void start_element(const orcus::sax::parser_element &elem)
    {
        if (elem.ns == "table" && elem.name == "table") {
            inWanted = names.size() == wanted;
            names << qs(attribute("name", "table"));
            row = 0;
        } else if (!inWanted) {
            // Only the wanted sheet's cells matter.
        } else if (elem.ns == "table" && elem.name == "table-row") {
            rowRepeat = repeatOf(attribute("number-rows-repeated", "table"));
            column = 0;
            rowCells.clear();
            rows.rowStarted(elem.begin_pos);
        } else if (elem.ns == "table" &&
                   (elem.name == "table-cell" || elem.name == "covered-table-cell")) {
            cellRepeat = repeatOf(attribute("number-columns-repeated", "table"));
            cellText = valueText();
            paragraphs = 0;
            paragraph.clear();
        } else if (elem.ns == "office" && elem.name == "annotation") {
            ++annotationDepth;
        } else if (annotationDepth == 0 && elem.ns == "text") {
            if (elem.name == "p") {
                inParagraph = true;
                if (paragraphs++ > 0)
                    paragraph += '\n';
            } else if (elem.name == "s") {
                paragraph.append(size_t(repeatOf(attribute("c", "text"))), ' ');
            } else if (elem.name == "tab") {
                paragraph += '\t';
            } else if (elem.name == "line-break") {
                paragraph += '\n';
            }
        }
        clearAttributes();
    }

    // The value a typed cell holds, null for those whose shown text is their value.
    QString valueText() const
    {
        const std::string_view type = attribute("value-type", "office");
        if (type == "float") {
            const std::string_view value = attribute("value", "office");
            double number = 0;
            const auto [end, ec] =
                std::from_chars(value.data(), value.data() + value.size(), number);
            if (ec == std::errc() && end == value.data() + value.size())
                return CellText::number(number);
        } else if (type == "date") {
            const QString value = qs(attribute("date-value", "office"));
            return value.endsWith(u"T00:00:00") || value.size() <= 10
                       ? value.left(10)
                       : value.left(19).replace(u'T', u' ');
        } else if (type == "boolean") {
            return attribute("boolean-value", "office") == "true" ? QStringLiteral("TRUE")
                                                                  : QStringLiteral("FALSE");
        }
        return {};
    }

    void end_element(const orcus::sax::parser_element &elem)
    {
        if (elem.ns == "office" && elem.name == "annotation") {
            --annotationDepth;
        } else if (!inWanted) {
            return;
        } else if (elem.ns == "text" && elem.name == "p") {
            inParagraph = false;
        } else if (elem.ns == "table" &&
                   (elem.name == "table-cell" || elem.name == "covered-table-cell")) {
            const QString text = cellText.isNull() ? qs(paragraph) : cellText;
            if (!text.isEmpty()) {
                for (int i = 0; i < std::min(cellRepeat, kMaxRepeat); ++i)
                    rowCells.emplace_back(column + i, text);
            }
            column += cellRepeat;
        } else if (elem.ns == "table" && elem.name == "table-row") {
            if (!rowCells.empty()) {
                for (int i = 0; i < std::min(rowRepeat, kMaxRepeat); ++i) {
                    for (const auto &[c, text] : rowCells)
                        collector.setCell(row + i, c, text);
                }
            }
            row += rowRepeat;
        } else if (elem.ns == "table" && elem.name == "table") {
            inWanted = false;
        }
    }

    void characters(std::string_view text, bool)
    {
        if (inWanted && inParagraph && annotationDepth == 0)
            paragraph.append(text);
    }
};

} // namespace

bool OdsReader::isOds(const QString &path)
{
    const std::unique_ptr<ZipPackage> package = ZipPackage::open(path);
    std::vector<unsigned char> mimetype;
    return package && package->read("mimetype", &mimetype) &&
           std::string_view(reinterpret_cast<const char *>(mimetype.data()), mimetype.size())
               .starts_with("application/vnd.oasis.opendocument.spreadsheet");
}

std::unique_ptr<WorkbookReader> OdsReader::open(const QString &path, QString *error)
{
    std::unique_ptr<OdsReader> reader(new OdsReader);
    reader->m_package = ZipPackage::open(path);
    std::vector<unsigned char> bytes;
    // A document saved with a password lists how each of its parts is encrypted.
    if (reader->m_package && reader->m_package->read("META-INF/manifest.xml", &bytes) &&
        std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size())
                .find("encryption-data") != std::string_view::npos) {
        *error = WorkbookReasons::kPassword;
        return nullptr;
    }
    ContentHandler names;
    if (!reader->m_package || !reader->m_package->read("content.xml", &bytes) ||
        !parseXml(bytes, names)) {
        *error = WorkbookReasons::kDamaged;
        return nullptr;
    }
    reader->m_names = names.names;
    return reader;
}

OdsReader::~OdsReader() = default;

bool OdsReader::readSheet(int index, SheetTable *sheet, QString *error, const Progress &progress)
{
    std::vector<unsigned char> bytes;
    if (index < 0 || index >= m_names.size() || !m_package->read("content.xml", &bytes)) {
        *error = WorkbookReasons::kDamaged;
        return false;
    }
    ContentHandler handler;
    handler.wanted = index;
    handler.rows.progress = &progress;
    handler.rows.size = bytes.size();
    if (!parseXml(bytes, handler)) {
        *error = handler.rows.stopped ? WorkbookReasons::kStopped : WorkbookReasons::kDamaged;
        return false;
    }
    *sheet = handler.collector.finish();
    return true;
}
