#include "spreadsheet/OdsReader.h"

#include "spreadsheet/CellText.h"
#include "spreadsheet/XmlParse.h"
#include "spreadsheet/ZipPackage.h"

#include <algorithm>
#include <charconv>
#include <climits>

namespace {

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A repeat count from 1 to `limit`, or `limit` + 1 for any larger one: spreadsheets repeat an
// empty row or cell up to the sheet's end, and nothing lies beyond it.
int repeatOf(std::string_view text, int limit)
{
    unsigned long long count = 1;
    if (text.empty())
        return 1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (ec == std::errc::result_out_of_range)
        return limit + 1;
    return ec == std::errc() ? int(std::clamp<unsigned long long>(count, 1, limit + 1ull)) : 1;
}

struct ContentHandler : XmlHandlerBase
{
    // The sheet to read; -1 lists the sheets' names only.
    int wanted = -1;
    RowProgress rows;
    QStringList names;
    SheetCollector *collector = nullptr;
    QString refusal;

    bool inWanted = false;
    int row = 0;
    int rowRepeat = 1;
    int column = 0;
    int cellRepeat = 1;
    std::vector<std::pair<int, QString>> rowCells;
    QString cellText;
    CellBuffer paragraph;
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
            rowRepeat =
                repeatOf(attribute("number-rows-repeated", "table"), WorkbookLimits::kMaxRows);
            column = 0;
            rowCells.clear();
            rows.rowStarted(elem.begin_pos);
        } else if (elem.ns == "table" &&
                   (elem.name == "table-cell" || elem.name == "covered-table-cell")) {
            cellRepeat = repeatOf(attribute("number-columns-repeated", "table"),
                                  WorkbookLimits::kMaxColumns);
            cellText = valueText();
            paragraphs = 0;
            paragraph.clear();
        } else if (elem.ns == "office" && elem.name == "annotation") {
            ++annotationDepth;
        } else if (annotationDepth == 0 && elem.ns == "text") {
            if (elem.name == "p") {
                inParagraph = true;
                if (paragraphs++ > 0)
                    paragraph.append(1, '\n');
            } else if (elem.name == "s") {
                paragraph.append(size_t(repeatOf(attribute("c", "text"), INT_MAX - 1)), ' ');
            } else if (elem.name == "tab") {
                paragraph.append(1, '\t');
            } else if (elem.name == "line-break") {
                paragraph.append(1, '\n');
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
            if (paragraph.tooLong())
                refuse(WorkbookReasons::kCellTooLong.arg(row + 1).arg(column + 1));
            const QString text = cellText.isNull() ? paragraph.text() : cellText;
            const int repeat = std::min(cellRepeat, WorkbookLimits::kMaxColumns - column);
            if (!text.isEmpty()) {
                if (repeat < cellRepeat)
                    collector->addNote(WorkbookReasons::kClipped);
                for (int i = 0; i < repeat; ++i)
                    rowCells.emplace_back(column + i, text);
            }
            column += repeat;
        } else if (elem.ns == "table" && elem.name == "table-row") {
            const int repeat = std::min(rowRepeat, WorkbookLimits::kMaxRows - row);
            if (!rowCells.empty()) {
                if (repeat < rowRepeat)
                    collector->addNote(WorkbookReasons::kClipped);
                for (int i = 0; i < repeat; ++i) {
                    for (const auto &[c, text] : rowCells) {
                        if (!collector->setCell(row + i, c, text))
                            refuse(collector->failure());
                    }
                }
            }
            row += repeat;
        } else if (elem.ns == "table" && elem.name == "table") {
            inWanted = false;
        }
    }

    void characters(std::string_view text, bool)
    {
        if (inWanted && inParagraph && annotationDepth == 0)
            paragraph.append(text);
    }

    [[noreturn]] void refuse(const QString &reason)
    {
        refusal = reason;
        throw XmlStop();
    }
};

} // namespace

bool OdsReader::isOds(const QString &path)
{
    const std::unique_ptr<ZipPackage> package = ZipPackage::open(path, 1024);
    std::vector<unsigned char> mimetype;
    QString ignored;
    return package && package->read("mimetype", &mimetype, &ignored) &&
           std::string_view(reinterpret_cast<const char *>(mimetype.data()), mimetype.size())
               .starts_with("application/vnd.oasis.opendocument.spreadsheet");
}

std::unique_ptr<WorkbookReader> OdsReader::open(const QString &path, QString *error,
                                                const ReadBudget &budget)
{
    std::unique_ptr<OdsReader> reader(new OdsReader);
    reader->m_budget = budget;
    reader->m_package = ZipPackage::open(path, budget.partBytes);
    if (!reader->m_package) {
        *error = WorkbookReasons::kDamaged;
        return nullptr;
    }
    std::vector<unsigned char> bytes;
    // A document saved with a password lists how each of its parts is encrypted.
    if (reader->m_package->has("META-INF/manifest.xml")) {
        if (!reader->m_package->read("META-INF/manifest.xml", &bytes, error))
            return nullptr;
        if (std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size())
                .find("encryption-data") != std::string_view::npos) {
            *error = WorkbookReasons::kPassword;
            return nullptr;
        }
    }
    if (!reader->m_package->read("content.xml", &bytes, error))
        return nullptr;
    ContentHandler names;
    if (!parseXml(bytes, names)) {
        *error = WorkbookReasons::kDamaged;
        return nullptr;
    }
    reader->m_names = names.names;
    return reader;
}

OdsReader::~OdsReader() = default;

WorkResult OdsReader::readSheet(int index, SheetTable *sheet, const WorkProgress &progress)
{
    if (index < 0 || index >= m_names.size()) {
        return WorkResult::failed(WorkbookReasons::kDamaged);
    }
    std::vector<unsigned char> bytes;
    QString error;
    if (!m_package->read("content.xml", &bytes, &error))
        return WorkResult::failed(error);
    SheetCollector collector(m_budget.cellBytes);
    ContentHandler handler;
    handler.wanted = index;
    handler.collector = &collector;
    handler.rows.progress = &progress;
    handler.rows.size = bytes.size();
    if (!parseXml(bytes, handler)) {
        if (handler.rows.stopped)
            return WorkResult::cancelled();
        return WorkResult::failed(handler.refusal.isEmpty() ? WorkbookReasons::kDamaged
                                                            : handler.refusal);
    }
    *sheet = collector.finish();
    return WorkResult::done();
}
