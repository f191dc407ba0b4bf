#include "maintenance/uFrmDataBack.h"

#include "core/DataDm.h"
#include "core/OwnerOnly.h"
#include "core/Prompt.h"
#include "maintenance/Backup.h"
#include "maintenance/RestoreJob.h"
#include "widgets/DialogButtons.h"
#include "widgets/EnsureFolder.h"
#include "widgets/FileChooser.h"
#include "widgets/InputBox.h"
#include "widgets/PlaceForm.h"
#include "widgets/ProgressRun.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("数据备份及恢复");

} // namespace

TFrmDataBack::TFrmDataBack(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmDataBack"));
    setWindowTitle(QStringLiteral("系统备份及恢复"));
    auto *layout = new QVBoxLayout(this);

    auto *pathGroup = new QGroupBox(QStringLiteral("备份路径"));
    auto *pathLayout = new QVBoxLayout(pathGroup);
    auto *pathRow = new QHBoxLayout;
    edtBackPath = new QLineEdit;
    edtBackPath->setObjectName(QStringLiteral("edtBackPath"));
    edtBackPath->setText(Backup::storedFolder(*dmData));
    auto *choose = new QToolButton;
    choose->setObjectName(QStringLiteral("SpeedButton1"));
    choose->setText(QStringLiteral("..."));
    connect(choose, &QToolButton::clicked, this, [this] {
        const QString start = edtBackPath->text().trimmed();
        const QString chosen = FileChooser::folder(this, QStringLiteral("选择文件路径"), start);
        if (chosen != start)
            edtBackPath->setText(chosen);
    });
    pathRow->addWidget(edtBackPath, 1);
    pathRow->addWidget(choose);
    pathLayout->addLayout(pathRow);
    pathLayout->addWidget(new QLabel(QStringLiteral("注意：路径指的是数据库所在机器上的目录")));
    // A quick backup of the data alone; its header says so, and restoring it keeps the
    // pictures the register has.
    chkNoPictures = new QCheckBox(QStringLiteral("不含图片"));
    chkNoPictures->setObjectName(QStringLiteral("chkNoPictures"));
    pathLayout->addWidget(chkNoPictures);
    layout->addWidget(pathGroup);

    auto *modeGroup = new QGroupBox(QStringLiteral("自动备份"));
    modeGroup->setObjectName(QStringLiteral("RadioGroup1"));
    auto *modeLayout = new QVBoxLayout(modeGroup);
    auto *modes = new QButtonGroup(this);
    for (const char *caption : {"不备份", "每次系统启动备份", "每周星期一备份", "每月一号备份"}) {
        auto *mode = new QRadioButton(QString::fromUtf8(caption));
        modes->addButton(mode, int(m_modes.size()));
        modeLayout->addWidget(mode);
        m_modes << mode;
    }
    // The stored mode: opening at "不备份" would switch the automatic backup off on 确定.
    m_modes.value(dmData->config().ibak(), m_modes.first())->setChecked(true);
    auto *keepRow = new QHBoxLayout;
    m_keepDays = new QSpinBox;
    m_keepDays->setObjectName(QStringLiteral("spnKeepDays"));
    m_keepDays->setRange(0, 3650);
    m_keepDays->setValue(dmData->config().backupKeepDays());
    keepRow->addWidget(new QLabel(QStringLiteral("自动删除")));
    keepRow->addWidget(m_keepDays);
    keepRow->addWidget(new QLabel(QStringLiteral("天前的每日备份（0 为全部保留）")), 1);
    modeLayout->addLayout(keepRow);
    layout->addWidget(modeGroup);

    QPushButton *backup = windowButton("BackData", "备份");
    QPushButton *recover = windowButton("RecoverData", "恢复");
    QPushButton *ok = windowButton("Button1", "确定");
    QPushButton *close = windowButton("Button2", "关闭");
    layout->addLayout(buttonRow({backup, recover}, {ok, close}));
    connect(backup, &QPushButton::clicked, this, &TFrmDataBack::BackData);
    connect(recover, &QPushButton::clicked, this, &TFrmDataBack::RecoverData);
    connect(ok, &QPushButton::clicked, this, &TFrmDataBack::saveSettings);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    PlaceForm(this, 0);
}

void TFrmDataBack::setBusy(bool busy)
{
    // One piece of work at a time: a second click never starts another.
    for (QPushButton *b : findChildren<QPushButton *>())
        b->setEnabled(!busy);
    edtBackPath->setEnabled(!busy);
}

void TFrmDataBack::BackData()
{
    const QString folder = edtBackPath->text().trimmed();
    if (!EnsureFolder(folder, QStringLiteral(" 创建失败,请检测路径是否合法!")))
        return;
    const QString name = Backup::fileName(QDate::currentDate());
    const QString target = QDir(folder).filePath(name);
    if (QFileInfo::exists(target) &&
        ShowPrompt(QStringLiteral("备份文件 \"") + QDir::toNativeSeparators(target) +
                       QStringLiteral("\" 已经存在，\n真的要复盖当前备份吗？"),
                   Prompt::Question) != Prompt::Yes)
        return;
    const DataSource source = dmData->source();
    const bool withPictures = !chkNoPictures->isChecked();
    setBusy(true);
    const WorkResult written =
        runWithProgress(this, QStringLiteral("正在备份数据..."), [&](const WorkProgress &progress) {
            return Backup::write(source, target, progress, withPictures);
        });
    setBusy(false);
    if (written.isCancelled())
        return;
    if (written.isFailed()) {
        qWarning("backup failed: %s", qPrintable(written.reason()));
        ShowPrompt(QStringLiteral("数据备份失败！"), Prompt::Error);
        return;
    }
    if (ShowPrompt(QStringLiteral("是否需要压缩当前数据库！"), Prompt::Question) == Prompt::Yes &&
        !dmData->CompactDataFile())
        ShowPrompt(QStringLiteral("压缩数据库失败！"), Prompt::Error);
    ShowPrompt(QStringLiteral("数据备份成功！"), Prompt::Information);
}

void TFrmDataBack::RecoverData()
{
    const std::optional<QString> code =
        InputBox::secret(this, QStringLiteral("密码提示"), QStringLiteral("请输入恢复密码"));
    if (!code)
        return;
    if (!RestoreJob::codeAccepted(*code)) {
        ShowPrompt(RestoreJob::kWrongCode, Prompt::Error);
        return;
    }
    const QString file =
        FileChooser::openFileName(this, QStringLiteral("恢复"), edtBackPath->text().trimmed(),
                                  QStringLiteral("备份文件 (*.back);;所有文件 (*.*)"));
    if (file.isEmpty())
        return;
    // The copies a restore works on go into the backup folder, beside the data set aside.
    const QString folder = edtBackPath->text().trimmed().isEmpty() ? Backup::storedFolder(*dmData)
                                                                   : edtBackPath->text().trimmed();
    if (!OwnerOnly::makeFolder(folder)) {
        ShowPrompt(QStringLiteral("目录") + folder +
                       QStringLiteral(" 创建失败,请检测路径是否合法!"),
                   Prompt::Error);
        return;
    }
    // A file that is not a whole backup changes nothing; a hostile one never holds the window.
    setBusy(true);
    const WorkResult checked = runWithProgress(
        this, QStringLiteral("正在检查备份文件..."),
        [&](const WorkProgress &progress) { return Backup::check(file, progress, folder); });
    setBusy(false);
    if (checked.isCancelled())
        return;
    if (checked.isFailed()) {
        ShowPrompt(checked.reason(), Prompt::Error);
        return;
    }
    if (ShowPrompt(QStringLiteral("此操作将使上次备份以来的所有数据丢失，是否继续？"),
                   Prompt::Question) != Prompt::Yes)
        return;
    // The data as it was goes aside first, so a wrong choice of file can be undone.
    QString safety;
    RestoreJob::Failure failure = RestoreJob::Failure::None;
    setBusy(true);
    setWindowTitle(QStringLiteral("正在恢复数据...."));
    const DataSource target = dmData->source();
    const WorkResult restored = runWithProgress(
        this, QStringLiteral("正在恢复数据...."), [&](const WorkProgress &progress) {
            return RestoreJob::run(file, target, folder, &safety, &failure, progress);
        });
    setWindowTitle(kCaption);
    setBusy(false);
    if (restored.isCancelled()) {
        ShowPrompt(QStringLiteral("恢复已取消，数据没有改变。"), Prompt::Information);
        return;
    }
    const QString &error = restored.reason();
    if (failure == RestoreJob::Failure::SafetyBackup) {
        qWarning("safety backup before a restore failed: %s", qPrintable(error));
        ShowPrompt(QStringLiteral("恢复前无法备份当前数据，数据没有改变：") + error, Prompt::Error);
        return;
    }
    if (restored.isFailed()) {
        qWarning("restore failed: %s", qPrintable(error));
        if (RestoreJob::databaseInUse(error))
            ShowPrompt(QStringLiteral("数据库正在被使用！请确定已关闭其它使用该数据库程序！"),
                       Prompt::Warning);
        ShowPrompt(QStringLiteral("恢复失败！"), Prompt::Error);
        return;
    }
    m_restored = true;
    ShowPrompt(QStringLiteral("恢复前的数据已备份到：") + QDir::toNativeSeparators(safety),
               Prompt::Information);
    if (ShowPrompt(QStringLiteral("数据恢复成功,重新启动当前程序吗？"), Prompt::Question) ==
        Prompt::Yes)
        QApplication::exit(0);
}

void TFrmDataBack::saveSettings()
{
    const QString folder = edtBackPath->text();
    // An empty folder stands for back/ in the program's folder.
    if (!folder.trimmed().isEmpty() &&
        !EnsureFolder(folder, QStringLiteral("创建失败,请检测路径是否合法!"))) {
        edtBackPath->setFocus();
        return;
    }
    for (int mode = 0; mode < m_modes.size(); ++mode) {
        if (m_modes[mode]->isChecked())
            dmData->config().setIbak(mode);
    }
    // Unchanged, the administrator's default stays in force for later changes of it.
    if (m_keepDays->value() != dmData->config().backupKeepDays())
        dmData->config().setBackupKeepDays(m_keepDays->value());
    if (!dmData->ExecSql(QStringLiteral("update SysInfo set F_BakPath = ?"), {folder.trimmed()}))
        return;
    ShowPrompt(QStringLiteral("当前软件设置更改成功！"), Prompt::Information);
    accept();
}
