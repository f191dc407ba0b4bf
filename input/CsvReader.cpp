#include "input/CsvReader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <orcus/csv_parser.hpp>

namespace {

struct CsvHandler
{
    SheetCollector *collector;
    const WorkbookReader::Progress *progress;
    int row = 0;
    int column = 0;
    bool stopped = false;

    void begin_parse() {}
    void end_parse() {}
    void begin_row() { column = 0; }
    void end_row()
    {
        ++row;
        if (row % 5000 == 0 && !(*progress)(50)) {
            stopped = true;
            throw orcus::csv::parse_error("stopped");
        }
    }
    void cell(const char *p, size_t n, bool)
    {
        collector->setCell(row, column++, QString::fromUtf8(p, qsizetype(n)));
    }
};

} // namespace

std::unique_ptr<WorkbookReader> CsvReader::open(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = WorkbookReasons::kMissing;
        return nullptr;
    }
    std::unique_ptr<CsvReader> reader(new CsvReader);
    reader->m_path = path;
    reader->m_name = QFileInfo(path).completeBaseName();
    return reader;
}

QByteArray CsvReader::toUtf8(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return bytes.mid(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8(bytes);
    if (!utf8.hasError())
        return bytes;
    QStringDecoder gb18030("GB18030");
    return QString(gb18030(bytes)).toUtf8();
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

bool CsvReader::readSheet(int index, SheetTable *sheet, QString *error, const Progress &progress)
{
    QFile file(m_path);
    if (index != 0 || !file.open(QIODevice::ReadOnly)) {
        *error = WorkbookReasons::kMissing;
        return false;
    }
    // The parser knows line feeds only; a quoted cell's line breaks become line feeds too.
    const QByteArray text = toUtf8(file.readAll()).replace("\r\n", "\n");
    file.close();
    orcus::csv::parser_config config;
    config.delimiters = std::string(1, separatorOf(text));
    config.text_qualifier = '"';
    config.trim_cell_value = false;
    SheetCollector collector;
    CsvHandler handler{&collector, &progress};
    try {
        orcus::csv_parser<CsvHandler> parser(text.constData(), size_t(text.size()), handler,
                                             config);
        parser.parse();
    } catch (const std::exception &) {
        *error = handler.stopped ? WorkbookReasons::kStopped : WorkbookReasons::kDamaged;
        return false;
    }
    *sheet = collector.finish();
    return true;
}
