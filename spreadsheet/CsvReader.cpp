#include "spreadsheet/CsvReader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <orcus/csv_parser.hpp>

namespace {

const QString kUtf8 = QStringLiteral("UTF-8");
const QString kGb18030 = QStringLiteral("GB18030");

// The length of the UTF-8 sequence at `p` (before `end`), 0 when none starts there.
int utf8Length(const unsigned char *p, const unsigned char *end)
{
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xbf;
    if (c >= 0xc2 && c <= 0xdf) {
        length = 2;
    } else if (c >= 0xe0 && c <= 0xef) {
        length = 3;
        low = c == 0xe0 ? 0xa0 : 0x80;
        high = c == 0xed ? 0x9f : 0xbf;
    } else if (c >= 0xf0 && c <= 0xf4) {
        length = 4;
        low = c == 0xf0 ? 0x90 : 0x80;
        high = c == 0xf4 ? 0x8f : 0xbf;
    } else {
        return 0;
    }
    if (end - p < length || p[1] < low || p[1] > high)
        return 0;
    for (int i = 2; i < length; ++i) {
        if (p[i] < 0x80 || p[i] > 0xbf)
            return 0;
    }
    return length;
}

// Counts the UTF-8 sequences of more than one byte and the bytes that start none, and the
// rows (from 1, a quoted line break staying in its row) where those lie.
struct Utf8Census
{
    qsizetype multibyte = 0;
    qsizetype invalid = 0;
    QList<int> rows;

    explicit Utf8Census(const QByteArray &bytes)
    {
        const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
        const unsigned char *end = p + bytes.size();
        int row = 1;
        bool quoted = false;
        while (p < end) {
            const int length = utf8Length(p, end);
            if (length == 0) {
                ++invalid;
                if (rows.isEmpty() || rows.last() != row)
                    rows << row;
                ++p;
                continue;
            }
            if (length > 1)
                ++multibyte;
            else if (*p == '"')
                quoted = !quoted;
            else if (*p == '\n' && !quoted)
                ++row;
            p += length;
        }
    }
};

QString rowList(const QList<int> &rows)
{
    QStringList numbers;
    for (qsizetype i = 0; i < std::min<qsizetype>(rows.size(), 10); ++i)
        numbers << QString::number(rows.at(i));
    return numbers.join(u'、') + (rows.size() > 10 ? QStringLiteral(" 等") : QString());
}

struct CsvHandler
{
    SheetCollector *collector;
    const WorkProgress *progress;
    int row = 0;
    int column = 0;
    bool stopped = false;
    bool refused = false;

    void begin_parse() {}
    void end_parse() {}
    void begin_row() { column = 0; }
    void end_row()
    {
        if (row == WorkbookLimits::kMaxRows) {
            refused = !collector->fail(WorkbookReasons::kBeyondLimits);
            throw orcus::csv::parse_error("too many rows");
        }
        ++row;
        if (row % 5000 == 0 && *progress && !(*progress)(50)) {
            stopped = true;
            throw orcus::csv::parse_error("stopped");
        }
    }
    void cell(const char *p, size_t n, bool)
    {
        const bool set =
            n <= kCellBytesLimit
                ? collector->setCell(row, column, QString::fromUtf8(p, qsizetype(n)))
                : collector->fail(WorkbookReasons::kCellTooLong.arg(row + 1).arg(column + 1));
        if (!set) {
            refused = true;
            throw orcus::csv::parse_error("refused");
        }
        column = std::min(column + 1, WorkbookLimits::kMaxColumns);
    }

    // A text of more UTF-8 bytes is longer than a cell holds, whatever its characters.
    static constexpr size_t kCellBytesLimit = 3 * size_t(WorkbookLimits::kMaxCellChars);
};

} // namespace

std::unique_ptr<WorkbookReader> CsvReader::open(const QString &path, QString *error,
                                                const ReadBudget &budget)
{
    QFile file;
    if (!openWholeFile(file, path, budget.partBytes, error))
        return nullptr;
    std::unique_ptr<CsvReader> reader(new CsvReader);
    reader->m_path = path;
    reader->m_name = QFileInfo(path).completeBaseName();
    reader->m_budget = budget;
    return reader;
}

CsvReader::Decoded CsvReader::decode(const QByteArray &bytes, const QString &encoding)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decode(bytes.mid(3), encoding.isEmpty() ? kUtf8 : encoding);
    Decoded decoded;
    const Utf8Census census(bytes);
    // A few stray bytes among much UTF-8 keep it UTF-8; GB18030 text holds hardly any.
    const bool mostlyUtf8 = census.invalid == 0 || census.multibyte >= 8 * census.invalid;
    if (encoding == kGb18030 || (encoding.isEmpty() && !mostlyUtf8)) {
        QStringDecoder gb18030("GB18030");
        const QString text = gb18030(bytes);
        if (encoding == kGb18030 || !gb18030.hasError()) {
            decoded.utf8 = text.toUtf8();
            decoded.encoding = kGb18030;
            return decoded;
        }
    }
    decoded.encoding = kUtf8;
    decoded.replacedRows = census.rows;
    decoded.utf8 = census.invalid == 0 ? bytes : QString::fromUtf8(bytes).toUtf8();
    return decoded;
}

char CsvReader::separatorOf(const QByteArray &utf8)
{
    int counts[3] = {0, 0, 0};
    const char separators[3] = {',', ';', '\t'};
    bool quoted = false;
    for (const char c : utf8) {
        if (c == '"')
            quoted = !quoted;
        if (quoted)
            continue;
        if (c == '\n')
            break;
        for (int i = 0; i < 3; ++i)
            counts[i] += c == separators[i];
    }
    int best = 0;
    for (int i = 1; i < 3; ++i) {
        if (counts[i] > counts[best])
            best = i;
    }
    return separators[best];
}

WorkResult CsvReader::readSheet(int index, SheetTable *sheet, const WorkProgress &progress)
{
    QFile file;
    if (index != 0) {
        return WorkResult::failed(WorkbookReasons::kMissing);
    }
    QString error;
    if (!openWholeFile(file, m_path, m_budget.partBytes, &error))
        return WorkResult::failed(error);
    Decoded decoded = decode(file.readAll(), m_chosen);
    file.close();
    m_encoding = decoded.encoding;
    // The parser knows line feeds only; a quoted cell's line breaks become line feeds too.
    const QByteArray text = std::move(decoded.utf8).replace("\r\n", "\n");
    orcus::csv::parser_config config;
    config.delimiters = std::string(1, separatorOf(text));
    config.text_qualifier = '"';
    config.trim_cell_value = false;
    SheetCollector collector(m_budget.cellBytes);
    if (!decoded.replacedRows.isEmpty())
        collector.addNote(WorkbookReasons::kReplacedBytes.arg(rowList(decoded.replacedRows)));
    CsvHandler handler{&collector, &progress};
    try {
        orcus::csv_parser<CsvHandler> parser(text.constData(), size_t(text.size()), handler,
                                             config);
        parser.parse();
    } catch (const std::exception &) {
        if (handler.stopped)
            return WorkResult::cancelled();
        return WorkResult::failed(handler.refused ? collector.failure()
                                                  : WorkbookReasons::kDamaged);
    }
    *sheet = collector.finish();
    return WorkResult::done();
}
