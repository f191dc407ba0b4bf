#include "core/CopyIn.h"

#include <QDate>
#include <charconv>

namespace {

constexpr size_t kChunk = 1 << 20;

QString messageOf(const char *text)
{
    return QString::fromUtf8(text).trimmed();
}

} // namespace

CopyIn::~CopyIn()
{
    if (m_open)
        abandon(QStringLiteral("stopped"));
}

bool CopyIn::start(const QString &table, const QString &columns, QString *error)
{
    m_buffer.clear();
    m_buffer.reserve(kChunk + 4096);
    const QByteArray sql = QStringLiteral("copy %1(%2) from stdin").arg(table, columns).toUtf8();
    PGresult *result = PQexec(m_conn, sql.constData());
    m_open = PQresultStatus(result) == PGRES_COPY_IN;
    if (!m_open)
        *error = messageOf(PQresultErrorMessage(result));
    PQclear(result);
    if (!m_open)
        finishCommand(error);
    return m_open;
}

bool CopyIn::endRow(QString *error)
{
    m_buffer += '\n';
    return m_buffer.size() < kChunk || send(error);
}

bool CopyIn::sendRows(std::string_view rows, QString *error)
{
    if (!m_buffer.empty() && !send(error))
        return false;
    for (size_t from = 0; from < rows.size(); from += kChunk) {
        const std::string_view chunk = rows.substr(from, kChunk);
        if (PQputCopyData(m_conn, chunk.data(), int(chunk.size())) != 1) {
            *error = messageOf(PQerrorMessage(m_conn));
            return false;
        }
    }
    return true;
}

bool CopyIn::send(QString *error)
{
    const bool sent = PQputCopyData(m_conn, m_buffer.data(), int(m_buffer.size())) == 1;
    m_buffer.clear();
    if (!sent)
        *error = messageOf(PQerrorMessage(m_conn));
    return sent;
}

bool CopyIn::finish(QString *error)
{
    if (!m_open)
        return false;
    bool ok = m_buffer.empty() || send(error);
    m_open = false;
    if (PQputCopyEnd(m_conn, nullptr) != 1 && ok) {
        *error = messageOf(PQerrorMessage(m_conn));
        ok = false;
    }
    QString finished;
    if (!finishCommand(&finished) && ok) {
        *error = finished;
        ok = false;
    }
    return ok;
}

void CopyIn::abandon(const QString &reason)
{
    if (!m_open)
        return;
    m_open = false;
    m_buffer.clear();
    PQputCopyEnd(m_conn, reason.toUtf8().constData());
    QString ignored;
    finishCommand(&ignored);
}

bool CopyIn::finishCommand(QString *error)
{
    bool ok = true;
    while (PGresult *result = PQgetResult(m_conn)) {
        if (ok && PQresultStatus(result) != PGRES_COMMAND_OK) {
            *error = messageOf(PQresultErrorMessage(result));
            ok = false;
        }
        PQclear(result);
    }
    return ok;
}

void CopyIn::appendEscaped(const char *text, qsizetype size, std::string &out)
{
    for (qsizetype i = 0; i < size; ++i) {
        const char c = text[i];
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
            break;
        }
    }
}

void CopyIn::appendNumber(qint64 value, std::string &out)
{
    char digits[32];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void CopyIn::appendNumber(double value, std::string &out)
{
    char digits[32];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void CopyIn::appendValue(const QVariant &value, std::string &out)
{
    if (value.isNull()) {
        out += "\\N";
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Double:
        appendNumber(value.toDouble(), out);
        break;
    case QMetaType::LongLong:
    case QMetaType::Int:
        appendNumber(value.toLongLong(), out);
        break;
    case QMetaType::Bool:
        out += value.toBool() ? 't' : 'f';
        break;
    case QMetaType::QDate: {
        const QDate day = value.toDate();
        if (!day.isValid()) {
            out += "\\N";
            break;
        }
        out += day.toString(u"yyyy-MM-dd").toStdString();
        break;
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        appendEscaped(text.constData(), text.size(), out);
        break;
    }
    }
}
