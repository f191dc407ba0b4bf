#pragma once

#include <QSettings>
#include <QString>

// config.ini in the program's folder, readable by its owner only. One object serves the whole
// run; every write is flushed at once so a crash never loses a stored connection or the last
// operator. A key the file lacks comes from the administrator's defaults (SystemConfig).
class AppConfig
{
public:
    explicit AppConfig(const QString &iniPath);

    QString filePath() const { return m_settings.fileName(); }

    // Database folder or postgresql:// URL; empty means data/ in the program's folder.
    QString ds() const;
    void setDs(const QString &value);

    // Automatic backup mode: 0 off, 1 every start, 2 Mondays, 3 first of the month.
    int ibak() const;
    void setIbak(int mode);

    // Days the automatic backup keeps its daily files; 0 keeps them all.
    static constexpr int kDefaultBackupKeepDays = 30;
    int backupKeepDays() const;
    void setBackupKeepDays(int days);

    // Whether a Latin search text also finds names by their pinyin (the tick 拼音); on unless
    // turned off.
    bool pinyinSearch() const;
    void setPinyinSearch(bool on);

    QString curOperName() const;
    void setCurOperName(const QString &name);

private:
    QString read(const QString &key) const;
    void write(const QString &key, const QVariant &value);

    mutable QSettings m_settings;
};
