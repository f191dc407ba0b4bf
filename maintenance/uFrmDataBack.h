#pragma once

#include <QDialog>
#include <QList>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

// "系统备份及恢复": backs the database up into the backup folder, restores a backup after the
// restore code, and keeps the backup folder, the automatic backup mode and the days its daily
// files are kept.
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
    QCheckBox *chkNoPictures;
    QList<QRadioButton *> m_modes;
    QSpinBox *m_keepDays;
    bool m_restored = false;
};
