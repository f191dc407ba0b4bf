#include "spreadsheet/XlsxReader.h"

#include "spreadsheet/CellText.h"
#include "spreadsheet/XmlParse.h"
#include "spreadsheet/ZipPackage.h"

#include <charconv>
#include <map>

namespace {

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Relationship targets are relative to the folder of the part that names them, or absolute.
std::string resolvePart(const std::string &folder, std::string_view target)
{
    const std::string joined = !target.empty() && target.front() == '/'
                                   ? std::string(target.substr(1))
                                   : folder + std::string(target);
    std::vector<std::string> segments;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t end = joined.find('/', start);
        if (end == std::string::npos)
            end = joined.size();
        const std::string segment = joined.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string path;
    for (const std::string &segment : segments)
        path += (path.empty() ? "" : "/") + segment;
    return path;
}

struct RelationshipsHandler : XmlHandlerBase
{
    std::map<std::string, std::string> targets;
    std::string officeDocument;

    void start_element(const orcus::sax::parser_element &elem)
    {
        if (elem.name == "Relationship") {
            const std::string id(attribute("Id"));
            targets[id] = std::string(attribute("Target"));
            if (attribute("Type").ends_with("/officeDocument"))
                officeDocument = targets[id];
        }
        clearAttributes();
    }
    void end_element(const orcus::sax::parser_element &) {}
    void characters(std::string_view, bool) {}
};

struct WorkbookHandler : XmlHandlerBase
{
    std::vector<std::pair<QString, std::string>> sheets; // name, relationship id
    bool date1904 = false;

    void start_element(const orcus::sax::parser_element &elem)
    {
        if (elem.name == "workbookPr")
            date1904 = attribute("date1904") == "1" || attribute("date1904") == "true";
        else if (elem.name == "sheet")
            sheets.emplace_back(qs(attribute("name")), std::string(attribute("id", "r")));
        clearAttributes();
    }
    void end_element(const orcus::sax::parser_element &) {}
    void characters(std::string_view, bool) {}
};

// Text of <si> items: the runs' <t> texts, without the phonetic guides (<rPh>). They count
// against the sheet's budget, as they stay in memory beside its cells.
struct SharedStringsHandler : XmlHandlerBase
{
    std::vector<QString> *strings;
    qint64 budget = 0;
    qint64 bytes = 0;
    QString refusal;
    CellBuffer current;
    bool inText = false;
    bool inPhonetic = false;

    void start_element(const orcus::sax::parser_element &elem)
    {
        if (elem.name == "si")
            current.clear();
        else if (elem.name == "t")
            inText = !inPhonetic;
        else if (elem.name == "rPh")
            inPhonetic = true;
        clearAttributes();
    }
    void end_element(const orcus::sax::parser_element &elem)
    {
        if (elem.name == "si") {
            QString text = current.text();
            bytes += SheetCollector::textCost(text.size());
            if (current.tooLong() || text.size() > WorkbookLimits::kMaxCellChars) {
                refusal = WorkbookReasons::kSharedTooLong.arg(strings->size() + 1);
                throw XmlStop();
            }
            if (bytes > budget) {
                refusal = WorkbookReasons::kTooLarge.arg(budget >> 20);
                throw XmlStop();
            }
            strings->push_back(std::move(text));
        } else if (elem.name == "t") {
            inText = false;
        } else if (elem.name == "rPh") {
            inPhonetic = false;
        }
    }
    void characters(std::string_view text, bool)
    {
        if (inText)
            current.append(text);
    }
};

// Which cell formats (<cellXfs><xf>, by position) show dates.
struct StylesHandler : XmlHandlerBase
{
    std::vector<bool> *dateStyles;
    std::map<int, bool> customDates;
    bool inCellFormats = false;

    static int number(std::string_view text)
    {
        int value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        return value;
    }

    void start_element(const orcus::sax::parser_element &elem)
    {
        if (elem.name == "numFmt") {
            customDates[number(attribute("numFmtId"))] =
                CellText::isDateFormat(qs(attribute("formatCode")));
        } else if (elem.name == "cellXfs") {
            inCellFormats = true;
        } else if (elem.name == "xf" && inCellFormats) {
            const int id = number(attribute("numFmtId"));
            const auto custom = customDates.find(id);
            dateStyles->push_back(custom != customDates.end() ? custom->second
                                                              : CellText::isBuiltInDateFormat(id));
        }
        clearAttributes();
    }
    void end_element(const orcus::sax::parser_element &elem)
    {
        if (elem.name == "cellXfs")
            inCellFormats = false;
    }
    void characters(std::string_view, bool) {}
};

struct SheetHandler : XmlHandlerBase
{
    const std::vector<QString> *strings;
    const std::vector<bool> *dateStyles;
    double dateOffset = 0; // days the 1904 date system counts fewer
    RowProgress rows;
    SheetCollector *collector;
    QString refusal;

    int row = -1;
    int column = -1;
    std::string type;
    int style = 0;
    CellBuffer value;
    bool inValue = false;
    bool inInline = false;
    bool inPhonetic = false;

    // "BC12" → column 54 (from 0), row 11 (from 0); the reason when it names no cell or one
    // beyond the sheet's limits ("XFD1048576" is the last).
    static QString parseReference(std::string_view ref, int *r, int *c)
    {
        int col = 0;
        size_t i = 0;
        for (; i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z'; ++i) {
            if (i == 3)
                return WorkbookReasons::kBeyondLimits;
            col = col * 26 + (ref[i] - 'A' + 1);
        }
        if (i == 0)
            return WorkbookReasons::kDamaged;
        int rowNumber = 0;
        const QString refusal = parseRow(ref.substr(i), &rowNumber);
        if (!refusal.isEmpty())
            return refusal;
        if (col > WorkbookLimits::kMaxColumns)
            return WorkbookReasons::kBeyondLimits;
        *c = col - 1;
        *r = rowNumber - 1;
        return {};
    }

    // A row number from 1 to the sheet's last; the reason when it is none.
    static QString parseRow(std::string_view text, int *number)
    {
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *number);
        if (ec == std::errc::result_out_of_range)
            return WorkbookReasons::kBeyondLimits;
        if (ec != std::errc() || end != text.data() + text.size())
            return WorkbookReasons::kDamaged;
        return *number >= 1 && *number <= WorkbookLimits::kMaxRows ? QString()
                                                                   : WorkbookReasons::kBeyondLimits;
    }

    [[noreturn]] void refuse(const QString &reason)
    {
        refusal = reason;
        throw XmlStop();
    }

    void start_element(const orcus::sax::parser_element &elem)
    {
        if (elem.name == "row") {
            const std::string_view r = attribute("r");
            int number = 0;
            const QString refusal = r.empty() ? QString() : parseRow(r, &number);
            if (!refusal.isEmpty())
                refuse(refusal);
            if (r.empty())
                number = row + 2;
            row = number - 1;
            column = -1;
            rows.rowStarted(elem.begin_pos);
        } else if (elem.name == "c") {
            const std::string_view ref = attribute("r");
            int r = row;
            int c = column + 1;
            const QString refusal = ref.empty() ? QString() : parseReference(ref, &r, &c);
            if (!refusal.isEmpty())
                refuse(refusal);
            row = r;
            column = c;
            type = attribute("t");
            style = StylesHandler::number(attribute("s"));
            value.clear();
        } else if (elem.name == "v") {
            inValue = true;
        } else if (elem.name == "is") {
            inInline = true;
        } else if (elem.name == "rPh") {
            inPhonetic = true;
        } else if (elem.name == "t" && inInline && !inPhonetic) {
            inValue = true;
        }
        clearAttributes();
    }

    void end_element(const orcus::sax::parser_element &elem)
    {
        if (elem.name == "v" || elem.name == "t") {
            inValue = false;
        } else if (elem.name == "is") {
            inInline = false;
        } else if (elem.name == "rPh") {
            inPhonetic = false;
        } else if (elem.name == "c") {
            if (value.tooLong())
                refuse(WorkbookReasons::kCellTooLong.arg(row + 1).arg(column + 1));
            if (!collector->setCell(row, column, text()))
                refuse(collector->failure());
        }
    }

    void characters(std::string_view text, bool)
    {
        if (inValue)
            value.append(text);
    }

    QString text() const
    {
        const std::string &v = value.utf8();
        if (type == "s") {
            size_t index = 0;
            std::from_chars(v.data(), v.data() + v.size(), index);
            return index < strings->size() ? strings->at(index) : QString();
        }
        if (type == "inlineStr" || type == "str" || type == "e")
            return value.text();
        if (type == "b")
            return v == "1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        if (type == "d") // ISO 8601
            return value.text().left(10);
        if (v.empty())
            return {};
        double number = 0;
        const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), number);
        if (ec != std::errc() || end != v.data() + v.size())
            return value.text();
        const bool isDate =
            style >= 0 && size_t(style) < dateStyles->size() && dateStyles->at(size_t(style));
        return isDate ? CellText::serialDate(number + dateOffset) : CellText::number(number);
    }
};

std::string folderOf(const std::string &part)
{
    const size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string relationshipsOf(const std::string &part)
{
    const std::string folder = folderOf(part);
    return folder + "_rels/" + part.substr(folder.size()) + ".rels";
}

} // namespace

std::unique_ptr<WorkbookReader> XlsxReader::open(const QString &path, QString *error,
                                                 const ReadBudget &budget)
{
    std::unique_ptr<XlsxReader> reader(new XlsxReader);
    reader->m_budget = budget;
    reader->m_package = ZipPackage::open(path, budget.partBytes);
    if (!reader->m_package) {
        *error = WorkbookReasons::kDamaged;
        return nullptr;
    }
    std::vector<unsigned char> bytes;
    RelationshipsHandler root;
    std::string workbookPart = "xl/workbook.xml";
    QString ignored;
    if (reader->m_package->read("_rels/.rels", &bytes, &ignored) && parseXml(bytes, root) &&
        !root.officeDocument.empty())
        workbookPart = resolvePart({}, root.officeDocument);
    WorkbookHandler workbook;
    RelationshipsHandler relationships;
    if (!reader->m_package->read(workbookPart, &bytes, error))
        return nullptr;
    if (!parseXml(bytes, workbook)) {
        *error = WorkbookReasons::kDamaged;
        return nullptr;
    }
    if (!reader->m_package->read(relationshipsOf(workbookPart), &bytes, error))
        return nullptr;
    if (!parseXml(bytes, relationships)) {
        *error = WorkbookReasons::kDamaged;
        return nullptr;
    }
    reader->m_date1904 = workbook.date1904;
    for (const auto &[name, id] : workbook.sheets) {
        const auto target = relationships.targets.find(id);
        if (target == relationships.targets.end()) {
            *error = WorkbookReasons::kDamaged;
            return nullptr;
        }
        reader->m_names << name;
        reader->m_sheetParts.push_back(resolvePart(folderOf(workbookPart), target->second));
    }
    return reader;
}

XlsxReader::~XlsxReader() = default;

bool XlsxReader::readSharedParts(QString *error)
{
    if (m_sharedRead)
        return true;
    std::vector<unsigned char> bytes;
    SharedStringsHandler strings;
    strings.strings = &m_strings;
    strings.budget = m_budget.cellBytes;
    StylesHandler styles;
    styles.dateStyles = &m_dateStyles;
    m_strings.clear();
    m_dateStyles.clear();
    // Both parts are optional: a workbook without texts or formats has none.
    if (m_package->has("xl/sharedStrings.xml")) {
        if (!m_package->read("xl/sharedStrings.xml", &bytes, error))
            return false;
        if (!parseXml(bytes, strings)) {
            *error = strings.refusal.isEmpty() ? WorkbookReasons::kDamaged : strings.refusal;
            return false;
        }
    }
    if (m_package->has("xl/styles.xml")) {
        if (!m_package->read("xl/styles.xml", &bytes, error))
            return false;
        if (!parseXml(bytes, styles)) {
            *error = WorkbookReasons::kDamaged;
            return false;
        }
    }
    m_sharedBytes = strings.bytes;
    m_sharedRead = true;
    return true;
}

WorkResult XlsxReader::readSheet(int index, SheetTable *sheet, const WorkProgress &progress)
{
    if (index < 0 || index >= m_names.size()) {
        return WorkResult::failed(WorkbookReasons::kDamaged);
    }
    std::vector<unsigned char> bytes;
    QString error;
    if (!readSharedParts(&error) ||
        !m_package->read(m_sheetParts.at(size_t(index)), &bytes, &error))
        return WorkResult::failed(error);
    SheetCollector collector(m_budget.cellBytes);
    if (!collector.charge(m_sharedBytes)) {
        return WorkResult::failed(collector.failure());
    }
    SheetHandler handler;
    handler.strings = &m_strings;
    handler.dateStyles = &m_dateStyles;
    handler.dateOffset = m_date1904 ? 1462 : 0;
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
