#pragma once

#include "core/AppConfig.h"
#include "core/DataSource.h"
#include "core/RecordWriter.h"
#include "core/Session.h"
#include "core/SqlDialect.h"

#include <QObject>
#include <QSet>
#include <QSqlDatabase>
#include <QStringList>
#include <QThreadPool>
#include <QVariantList>
#include <memory>
#include <optional>

class QSqlQuery;
class QSqlQueryModel;

// What the connection procedure needs from the screen: a status line while it works and,
// when the database cannot be opened, a new `ds` chosen by the user (nothing: give up).
class ConnectionUi
{
public:
    virtual ~ConnectionUi() = default;
    virtual void showStatus(const QString &text) = 0;
    virtual std::optional<QString> recover(const QString &reason) = 0;
};

// The data module: owns the one connection and the services every window runs its
// statements through. Each service reports its own failure with the fixed error box and
// returns a neutral value. Values are always bound to `?` placeholders, never pasted in.
class TdmData : public QObject
{
    Q_OBJECT

public:
    explicit TdmData(const QString &iniPath, QObject *parent = nullptr);
    ~TdmData() override;

    // The connection procedure: reads `ds`, opens the database (creating the schema in an
    // empty one) and, on failure, asks `ui` for another `ds` until it opens or the user gives up.
    bool DataModuleCreate(ConnectionUi &ui);
    // Opens `ds` without asking anyone; used by the connect dialog's test and by tools.
    bool open(const QString &ds, QString *error);
    bool isConnected() const { return m_connected; }
    // A SQLite file the user may not write, opened for reading only.
    bool isReadOnly() const { return m_readOnly; }
    // Damage has been found in the database file; nothing is written into it any more.
    bool isDamaged() const { return m_damaged; }

    // Remembers what a failed statement says about the database (a damaged file stops every
    // write) and gives the message to show: damaged, read-only and busy in their own words,
    // anything else as `fallback`.
    QString failureMessage(const QString &errorText, const QString &fallback);
    // Shows the error box for the last failed statement (or `errorText`), worded as above.
    void showFailure(const QString &fallback, const QString &errorText = {});
    // For failures that no window reports when they happen (list pages, counts, the
    // background check): damage is told once, after the current event.
    void reportFailure(const QString &errorText);
    // Checks a SQLite file for damage on a connection of its own, off the window's thread;
    // damage found is reported as above.
    void checkInBackground();

    AppConfig &config() { return m_config; }
    QSqlDatabase database() const { return m_db; }
    const SqlDialect &dialect() const { return m_dialect; }
    const DataSource &source() const { return m_source; }

    Session &session() { return m_session; }
    QString CurOperName() const { return m_session.operatorName(); }
    // Logs `name` in with the rights the database grants it, without asking for a password.
    void setCurOperName(const QString &name) { m_session.logIn(name, rightsOf(name)); }

    bool DeleteByID(const QString &table, qint64 id);
    bool ExecSql(const QString &sql, const QVariantList &values = {});
    QString GetStrValue(const QString &sql, const QVariantList &values = {});
    double GetFloatValue(const QString &sql, const QVariantList &values = {});
    int GetIntValue(const QString &sql, const QVariantList &values = {});
    bool GetBoolValue(const QString &sql, const QVariantList &values = {});
    // Leaves `query` inactive on failure.
    bool OpenSql(QSqlQuery &query, const QString &sql, const QVariantList &values = {});
    bool OpenSql(QSqlQueryModel *model, const QString &sql, const QVariantList &values = {});
    // The first column of every row whose value is not blank, untrimmed; on failure the
    // values read so far.
    QStringList FillCombo(const QString &sql, const QVariantList &values = {});
    // Never reports anything: a failed log insert is ignored.
    void WriteLog(const QString &operType);
    bool HasRight(const QString &code) const;
    // The right codes the current operator holds, as the session took them at the login.
    QSet<QString> heldRights() const { return m_session.rights(); }
    // The right codes the database grants: all of them for admin, else those granted.
    QSet<QString> rightsOf(const QString &operatorName);
    // SQLite VACUUM, PostgreSQL VACUUM ANALYZE; false when the engine refused.
    bool CompactDataFile();

    // For writers that report failures in their own words: no message box; on failure the
    // database's reason is in `error` and the query is inactive.
    QSqlQuery runQuiet(const QString &sql, const QVariantList &values, QString *error);
    // Inserts one row and returns the key the database gave it, which may differ from any
    // number predicted before (another workstation may have inserted meanwhile).
    std::optional<qint64> insertQuiet(const QString &sql, const QVariantList &values,
                                      QString *error);
    // The writer of register rows for the operator logged in, on this connection; its
    // change set is of `kind`.
    RecordWriter writer(const QString &kind, const QString &summary = {}) const
    {
        return RecordWriter(m_db, CurOperName(), kind, summary);
    }

signals:
    // Read-only or damaged changed.
    void stateChanged();

private:
    bool noteFailure(const QString &errorText);
    bool openSource(const DataSource &source, QString *error);
    std::optional<QVariant> firstValue(const QString &sql, const QVariantList &values);
    QSqlQuery prepared(const QString &sql, const QVariantList &values, bool *ok);

    AppConfig m_config;
    QString m_connectionName;
    QSqlDatabase m_db;
    SqlDialect m_dialect{Engine::SQLite};
    DataSource m_source;
    bool m_connected = false;
    bool m_readOnly = false;
    bool m_damaged = false;
    bool m_damageTold = false;
    QString m_lastError;
    // Not Qt's global pool, on which the window paints: the check holds its thread for seconds.
    QThreadPool m_checkPool;
    Session m_session;
};

// The program's one data module, set by the start-up (and by each test).
extern TdmData *dmData;

inline const QString kMsgDeleteFailed = QStringLiteral("删除操作失败，请检查数据连接... ");
inline const QString kMsgOperationFailed = QStringLiteral("操作失败，请检查数据连接... ");
inline const QString kMsgOpenFailed = QStringLiteral("打开操作失败，请检查数据连接... ");
