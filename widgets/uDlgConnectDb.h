#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

// "连接网络数据库": chooses the database for the next connection, either a folder holding
// RevaZez.db (on this machine or a shared folder) or a PostgreSQL server. The result is the
// text stored as `ds` in config.ini.
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
    QString serverDs() const;
    bool acceptFolder();

    QString m_ds;
    QString m_expectedFolder; // where the current `ds` says a database is
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
