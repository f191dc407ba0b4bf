#pragma once

#include <QString>
#include <QVariant>
#include <libpq-fe.h>
#include <string>
#include <string_view>

// Rows sent to a server table through COPY … FROM STDIN in its text format, in chunks, on a
// connection that may be inside the caller's transaction. A copy that is abandoned, or whose
// rows the server refuses, stores none of them.
class CopyIn
{
public:
    explicit CopyIn(PGconn *conn) : m_conn(conn) {}
    CopyIn(const CopyIn &) = delete;
    CopyIn &operator=(const CopyIn &) = delete;
    // A copy still open is abandoned.
    ~CopyIn();

    // Starts `copy <table>(<columns>) from stdin`.
    bool start(const QString &table, const QString &columns, QString *error);

    // The row being made: fields appended through the helpers below, separated by tab().
    std::string &row() { return m_buffer; }
    void tab() { m_buffer += '\t'; }
    // Ends the row and sends what has gathered once it fills a chunk.
    bool endRow(QString *error);
    // Rows made beforehand in COPY's text format, each ended by a newline.
    bool sendRows(std::string_view rows, QString *error);

    // Sends the rest and ends the copy; false with the server's reason when it refused a row.
    bool finish(QString *error);
    // Ends the copy so that the server throws away every row it was sent.
    void abandon(const QString &reason);

    // A text as COPY's text format spells it.
    static void appendEscaped(const char *text, qsizetype size, std::string &out);
    // Numbers in the fewest digits that read back as the same number.
    static void appendNumber(qint64 value, std::string &out);
    static void appendNumber(double value, std::string &out);
    // A value bound as a parameter would be: texts, numbers, dates as yyyy-MM-dd, yes/no as
    // t/f; null (or an invalid date) as no value.
    static void appendValue(const QVariant &value, std::string &out);

private:
    bool send(QString *error);
    // Reads the command's results; the first failure goes to `error`.
    bool finishCommand(QString *error);

    PGconn *m_conn;
    std::string m_buffer;
    bool m_open = false;
};
