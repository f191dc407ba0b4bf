#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

// "连接网络数据库": chooses the database for the next connection, either a folder holding
// RevaZez.db (on this machine or a shared folder) or a PostgreSQL server. The result is the
// text stored as `ds` in config.ini; a typed server password goes to the PostgreSQL password
// file instead, and one found in an old `ds` is offered to go there too.
class TDlgConnectDb : public QDialog
{
    Q_OBJECT

public:
    // `reason`, when given, says why the current database could not be opened.
    explicit TDlgConnectDb(const QString &currentDs, const QString &reason = {},
                           QWidget *parent = nullptr);

    QString ds() const { return m_ds; }

    void accept() override;

private:
    void chooseFile();
    void testServer();
    void updateMode();
    void showResult(const QString &text);
    QString serverDs(bool withPassword) const;
    bool acceptFolder();
    bool acceptServer();
    // Asked only for the password an old `ds` held, unchanged: true when it is to stay there.
    bool keepPasswordInConfig() const;

    QString m_ds;
    QString m_expectedFolder; // where the current `ds` says a database is
    QString m_storedPassword; // the one the current `ds` holds in clear
    int m_textWidth = 0;      // of the labels, whose long texts are elided to it

    QRadioButton *m_rbLocal;
    QRadioButton *m_rbServer;
    QLineEdit *m_edtFolder;
    QLineEdit *m_edtHost;
    QSpinBox *m_spnPort;
    QLineEdit *m_edtDatabase;
    QLineEdit *m_edtUser;
    QLineEdit *m_edtPassword;
    QLabel *m_lblResult;
    QList<QWidget *> m_localWidgets;
    QList<QWidget *> m_serverWidgets;
};
