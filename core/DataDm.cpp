#include "core/DataDm.h"

#include "core/Connection.h"
#include "core/DatabaseFault.h"
#include "core/Prompt.h"
#include "core/Schema.h"
#include "core/ServerSearchIndex.h"

#include <QDate>
#include <QDebug>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTime>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

TdmData *dmData = nullptr;

namespace {

int g_connectionSerial = 0;

void logFailure(const QString &sql, const QSqlError &error)
{
    qWarning().noquote() << "SQL failed:" << error.text() << "--" << sql;
}

} // namespace

TdmData::TdmData(const QString &iniPath, QObject *parent)
    : QObject(parent), m_config(iniPath),
      m_connectionName(QStringLiteral("dmData-%1").arg(++g_connectionSerial))
{
}

TdmData::~TdmData()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

bool TdmData::DataModuleCreate(ConnectionUi &ui)
{
    for (;;) {
        ui.showStatus(QStringLiteral("正在连接数据库 ....."));
        QString reason;
        if (open(m_config.ds(), &reason)) {
            ui.showStatus(QStringLiteral("连接成功，正在登录 ..."));
            return true;
        }
        const std::optional<QString> chosen = ui.recover(reason);
        if (!chosen)
            return false;
        m_config.setDs(*chosen);
    }
}

bool TdmData::open(const QString &ds, QString *error)
{
    m_connected = openSource(DataSource::fromDs(ds, QFileInfo(m_config.filePath()).path()), error);
    return m_connected;
}

bool TdmData::openSource(const DataSource &source, QString *error)
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
    m_source = source;
    m_dialect = SqlDialect(source.engine);
    m_readOnly = false;
    m_damaged = false;
    m_damageTold = false;
    if (!Connection::open(source, m_connectionName, &m_db, error))
        return false;
    m_readOnly = Connection::isReadOnly(m_db);
    emit stateChanged();
    if (!Schema::ensure(m_db, m_dialect, error)) {
        m_db.close();
        return false;
    }
    if (source.engine == Engine::PostgreSQL)
        m_dialect.setTrigramIndexes(ServerSearchIndex::ensureTrigramIndexes(m_db));
    return true;
}

QSqlQuery TdmData::prepared(const QString &sql, const QVariantList &values, bool *ok)
{
    m_lastError.clear();
    QSqlQuery q(m_db);
    if (values.isEmpty()) {
        // PostgreSQL cannot prepare statements such as DDL or VACUUM.
        *ok = q.exec(sql);
    } else {
        *ok = q.prepare(sql);
        if (*ok) {
            for (const QVariant &v : values)
                q.addBindValue(v);
            *ok = q.exec();
        }
    }
    if (!*ok) {
        logFailure(sql, q.lastError());
        m_lastError = q.lastError().text();
        noteFailure(m_lastError);
    }
    return q;
}

bool TdmData::noteFailure(const QString &errorText)
{
    if (DatabaseFault::classify(errorText) != DatabaseFault::Kind::Damaged || m_damaged)
        return false;
    m_damaged = true;
    // SQLite's own guard: no statement of this connection changes the file any more.
    if (m_source.engine == Engine::SQLite) {
        QSqlQuery guard(m_db);
        guard.exec(QStringLiteral("pragma query_only = 1"));
    }
    qWarning().noquote() << "Database damaged:" << m_source.describe() << "--" << errorText;
    emit stateChanged();
    return true;
}

QString TdmData::failureMessage(const QString &errorText, const QString &fallback)
{
    noteFailure(errorText);
    const DatabaseFault::Kind kind =
        m_damaged ? DatabaseFault::Kind::Damaged : DatabaseFault::classify(errorText);
    if (kind == DatabaseFault::Kind::TooLong)
        return DatabaseFault::tooLongMessage(errorText);
    const QString message = DatabaseFault::message(kind, m_source);
    return message.isEmpty() ? fallback : message;
}

void TdmData::showFailure(const QString &fallback, const QString &errorText)
{
    const QString message = failureMessage(errorText.isEmpty() ? m_lastError : errorText, fallback);
    m_damageTold = m_damageTold || m_damaged;
    m_lastError.clear();
    ShowPrompt(message, Prompt::Error);
}

void TdmData::reportFailure(const QString &errorText)
{
    m_lastError = errorText;
    if (!noteFailure(errorText))
        return;
    // Not from inside a paint or a model's answer: after the current event, unless a window
    // has told it by then.
    QTimer::singleShot(0, this, [this] {
        if (m_damageTold)
            return;
        m_damageTold = true;
        ShowPrompt(DatabaseFault::message(DatabaseFault::Kind::Damaged, m_source), Prompt::Error);
    });
}

void TdmData::checkInBackground()
{
    if (m_source.engine != Engine::SQLite)
        return;
    const DataSource source = m_source;
    auto *watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher] {
        const QString problem = watcher->result();
        watcher->deleteLater();
        if (!problem.isEmpty())
            reportFailure(QStringLiteral("database disk image is malformed: ") + problem);
    });
    watcher->setFuture(
        QtConcurrent::run(&m_checkPool, [source] { return Connection::findDamage(source); }));
}

bool TdmData::DeleteByID(const QString &table, qint64 id)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    bool ok = identifier.match(table).hasMatch();
    if (ok)
        prepared(QStringLiteral("delete from %1 where F_ID = ?").arg(table), {id}, &ok);
    if (!ok)
        showFailure(kMsgDeleteFailed);
    return ok;
}

QSqlQuery TdmData::runQuiet(const QString &sql, const QVariantList &values, QString *error)
{
    bool ok = false;
    QSqlQuery q = prepared(sql, values, &ok);
    if (!ok && error)
        *error = q.lastError().text();
    return q;
}

std::optional<qint64> TdmData::insertQuiet(const QString &sql, const QVariantList &values,
                                           QString *error)
{
    const bool returning = m_dialect.returnsInsertedKey();
    QSqlQuery q = runQuiet(m_dialect.insertReturningKey(sql), values, error);
    if (!q.isActive())
        return std::nullopt;
    const QVariant key = returning ? (q.next() ? q.value(0) : QVariant()) : q.lastInsertId();
    if (!key.isValid()) {
        if (error)
            *error = QStringLiteral("no key for the inserted row");
        return std::nullopt;
    }
    return key.toLongLong();
}

bool TdmData::ExecSql(const QString &sql, const QVariantList &values)
{
    bool ok = false;
    prepared(sql, values, &ok);
    if (!ok)
        showFailure(kMsgOperationFailed);
    return ok;
}

std::optional<QVariant> TdmData::firstValue(const QString &sql, const QVariantList &values)
{
    bool ok = false;
    QSqlQuery q = prepared(sql, values, &ok);
    if (!ok) {
        showFailure(kMsgOperationFailed);
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    return q.value(0);
}

QString TdmData::GetStrValue(const QString &sql, const QVariantList &values)
{
    return firstValue(sql, values).value_or(QVariant()).toString();
}

double TdmData::GetFloatValue(const QString &sql, const QVariantList &values)
{
    return firstValue(sql, values).value_or(QVariant()).toDouble();
}

int TdmData::GetIntValue(const QString &sql, const QVariantList &values)
{
    return firstValue(sql, values).value_or(QVariant()).toInt();
}

bool TdmData::GetBoolValue(const QString &sql, const QVariantList &values)
{
    return firstValue(sql, values).value_or(QVariant()).toBool();
}

bool TdmData::OpenSql(QSqlQuery &query, const QString &sql, const QVariantList &values)
{
    bool ok = false;
    query = prepared(sql, values, &ok);
    if (!ok) {
        query = QSqlQuery(m_db);
        showFailure(kMsgOpenFailed);
    }
    return ok;
}

bool TdmData::OpenSql(QSqlQueryModel *model, const QString &sql, const QVariantList &values)
{
    QSqlQuery query(m_db);
    if (!OpenSql(query, sql, values)) {
        model->clear();
        return false;
    }
    model->setQuery(std::move(query));
    return true;
}

QStringList TdmData::FillCombo(const QString &sql, const QVariantList &values)
{
    bool ok = false;
    QSqlQuery q = prepared(sql, values, &ok);
    QStringList items;
    if (!ok) {
        showFailure(kMsgOperationFailed);
        return items;
    }
    while (q.next()) {
        const QString value = q.value(0).toString();
        if (!value.trimmed().isEmpty())
            items << value;
    }
    return items;
}

void TdmData::WriteLog(const QString &operType)
{
    const QDateTime now = QDateTime::currentDateTime();
    bool ok = false;
    prepared(QStringLiteral("insert into LogRec(F_EmpName,F_OperType,F_OperDate,F_OperTime) "
                            "values(?,?,?,?)"),
             {CurOperName(), operType, now.toString(QStringLiteral("yyyy-MM-dd")),
              now.toString(QStringLiteral("hh:mm:ss"))},
             &ok);
}

QSet<QString> TdmData::rightsOf(const QString &operatorName)
{
    bool ok = false;
    const QString name = operatorName.trimmed();
    // admin holds every right without granted rows; names compare without regard to case,
    // as operators type them at the login.
    QSqlQuery q = name.compare(u"admin", Qt::CaseInsensitive) == 0
                      ? prepared(QStringLiteral("select F_code from Limits"), {}, &ok)
                      : prepared(QStringLiteral("select l.F_code from OperLimit o "
                                                "join Limits l on o.F_lmtName = l.F_name "
                                                "where lower(o.F_OperName) = lower(?)"),
                                 {name}, &ok);
    QSet<QString> codes;
    if (!ok) {
        showFailure(kMsgOperationFailed);
        return codes;
    }
    while (q.next())
        codes.insert(q.value(0).toString().trimmed());
    return codes;
}

bool TdmData::HasRight(const QString &code) const
{
    return m_session.holds(code.trimmed());
}

bool TdmData::CompactDataFile()
{
    bool ok = false;
    prepared(m_dialect.compactStatement(), {}, &ok);
    return ok;
}
