#pragma once

#include <QDialog>
#include <QList>

class QLineEdit;
class QRadioButton;

// "系统备份及恢复": backs the database up into the backup folder, restores a backup after the
// restore code, and keeps the backup folder and the automatic backup mode.
class TFrmDataBack : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmDataBack(QWidget *parent = nullptr);

    // Whether a restore replaced the data while the window was open.
    bool restored() const { return m_restored; }

    void BackData();
    void RecoverData();
    void saveSettings();

private:
    void setBusy(bool busy);

    QLineEdit *edtBackPath;
    QList<QRadioButton *> m_modes;
    bool m_restored = false;
};
