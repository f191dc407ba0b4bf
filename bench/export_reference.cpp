// The reference of the export benchmark: a plain program that reads one statement with SQLite's
// C interface and writes the same cells as the program's export with libxlsxwriter in
// constant-memory mode — text in the text format, numbers and dates under their number formats,
// "no date" (1900-08-14, and dates before 1901-08-14 in date columns) empty.
//
//   quorin_export_reference DATABASE OUT.xlsx SQL VALUES COLUMNS
//     VALUES:  the statement's values, ";"-separated, each "i:<integer>" or "t:<text>"
//     COLUMNS: "|"-separated, each "field;caption;width;kind;number format", kind text,
//              number or date

#include <sqlite3.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

namespace {

std::vector<std::string> split(const std::string &text, char separator)
{
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// Days since 1899-12-30 (day 0 of spreadsheet dates) of a civil date.
long spreadsheetDay(int year, int month, int day)
{
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 + 25569;
}

bool isNoDate(const char *text, int size)
{
    while (size > 0 && *text == ' ') {
        ++text;
        --size;
    }
    while (size > 0 && text[size - 1] == ' ')
        --size;
    return size == 10 && std::memcmp(text, "1900-08-14", 10) == 0;
}

struct Column
{
    std::string field;
    std::string caption;
    int width;
    char kind; // t, n, d
    lxw_format *format;
    int index;
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s DATABASE OUT.xlsx SQL VALUES COLUMNS\n", argv[0]);
        return 2;
    }
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        return 1;
    }
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, argv[3], -1, &statement, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        return 1;
    }
    const std::vector<std::string> values = split(argv[4], ';');
    for (size_t i = 0; i < values.size(); ++i) {
        const std::string &v = values[i];
        if (v.rfind("i:", 0) == 0)
            sqlite3_bind_int64(statement, int(i + 1), std::atoll(v.c_str() + 2));
        else
            sqlite3_bind_text(statement, int(i + 1), v.c_str() + 2, -1, SQLITE_TRANSIENT);
    }

    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    std::string folder = argv[2];
    folder = folder.substr(0, folder.find_last_of('/') + 1);
    options.tmpdir = folder.data();
    lxw_workbook *workbook = workbook_new_opt(argv[2], &options);
    lxw_format *text = workbook_add_format(workbook);
    format_set_num_format_index(text, 49);
    std::vector<Column> columns;
    for (const std::string &spec : split(argv[5], '|')) {
        const std::vector<std::string> p = split(spec, ';');
        Column c{p[0], p[1], std::atoi(p[2].c_str()), p[3][0], text, -1};
        if (c.kind != 't') {
            c.format = workbook_add_format(workbook);
            format_set_num_format(c.format, p[4].c_str());
        }
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            if (strcasecmp(sqlite3_column_name(statement, i), c.field.c_str()) == 0)
                c.index = i;
        }
        columns.push_back(c);
    }
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, "样品档案资料");
    for (size_t i = 0; i < columns.size(); ++i) {
        worksheet_set_column_pixels(sheet, lxw_col_t(i), lxw_col_t(i), uint32_t(columns[i].width),
                                    columns[i].format);
        worksheet_write_string(sheet, 0, lxw_col_t(i), columns[i].caption.c_str(), nullptr);
    }
    worksheet_freeze_panes(sheet, 1, 0);

    const long firstDate = spreadsheetDay(1901, 8, 14);
    lxw_row_t row = 0;
    int result;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
        ++row;
        for (size_t i = 0; i < columns.size(); ++i) {
            const Column &c = columns[i];
            if (c.index < 0)
                continue;
            const int type = sqlite3_column_type(statement, c.index);
            if (type == SQLITE_NULL)
                continue;
            const lxw_col_t column = lxw_col_t(i);
            if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
                if (c.kind == 'n')
                    worksheet_write_number(sheet, row, column,
                                           sqlite3_column_double(statement, c.index), c.format);
                else
                    worksheet_write_string(
                        sheet, row, column,
                        reinterpret_cast<const char *>(sqlite3_column_text(statement, c.index)),
                        text);
                continue;
            }
            const char *value =
                reinterpret_cast<const char *>(sqlite3_column_text(statement, c.index));
            const int size = sqlite3_column_bytes(statement, c.index);
            if (size == 0 || isNoDate(value, size))
                continue;
            if (c.kind == 'n') {
                char *end = nullptr;
                const double number = std::strtod(value, &end);
                if (end != value && *end == '\0') {
                    worksheet_write_number(sheet, row, column, number, c.format);
                    continue;
                }
            } else if (c.kind == 'd' && size >= 10 && value[4] == '-' && value[7] == '-') {
                const long day =
                    spreadsheetDay(std::atoi(value), std::atoi(value + 5), std::atoi(value + 8));
                if (day < firstDate)
                    continue;
                worksheet_write_number(sheet, row, column, double(day), c.format);
                continue;
            }
            worksheet_write_string(sheet, row, column, value, text);
        }
    }
    if (result != SQLITE_DONE) {
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        return 1;
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    const lxw_error error = workbook_close(workbook);
    if (error != LXW_NO_ERROR) {
        std::fprintf(stderr, "%s\n", lxw_strerror(error));
        return 1;
    }
    return 0;
}
