#include "widgets/uDlgConnectDb.h"

#include "core/AppHome.h"
#include "core/Connection.h"
#include "core/DataSource.h"
#include "core/PgPass.h"
#include "core/Prompt.h"
#include "widgets/ElidedText.h"
#include "widgets/FileChooser.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

namespace {

constexpr int kWidth = 520;

template <typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// Holds a value of any length: scrolled within the box, never cut.
QLineEdit *valueBox(const char *name)
{
    auto *box = named(new QLineEdit, name);
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
}

} // namespace

TDlgConnectDb::TDlgConnectDb(const QString &currentDs, const QString &reason, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DlgConnectDb"));
    setWindowTitle(QStringLiteral("连接网络数据库"));
    auto *layout = new QVBoxLayout(this);
    const QMargins margins = layout->contentsMargins();
    m_textWidth = kWidth - margins.left() - margins.right();

    if (!reason.isEmpty()) {
        auto *why = named(new QLabel, "lblReason");
        why->setText(ElidedText::forLabel(QStringLiteral("无法打开数据库：%1").arg(reason),
                                          why->fontMetrics(), m_textWidth));
        why->setWordWrap(true);
        why->setStyleSheet(QStringLiteral("color: #b00000;"));
        layout->addWidget(why);
    }

    m_rbLocal = named(new QRadioButton(QStringLiteral("本机或共享文件夹中的数据库文件 (%1)")
                                           .arg(QString::fromLatin1(kDatabaseFileName))),
                      "rbLocal");
    layout->addWidget(m_rbLocal);
    auto *localRow = new QHBoxLayout;
    m_edtFolder = valueBox("edtFolder");
    m_edtFolder->setPlaceholderText(QStringLiteral("数据库所在的文件夹"));
    auto *browse = named(new QPushButton(QStringLiteral("浏览...")), "btnBrowse");
    connect(browse, &QPushButton::clicked, this, &TDlgConnectDb::chooseFile);
    localRow->addSpacing(20);
    localRow->addWidget(m_edtFolder, 1);
    localRow->addWidget(browse);
    layout->addLayout(localRow);
    m_localWidgets = {m_edtFolder, browse};

    m_rbServer = named(new QRadioButton(QStringLiteral("数据库服务器 (PostgreSQL)")), "rbServer");
    layout->addWidget(m_rbServer);
    auto *form = new QFormLayout;
    form->setContentsMargins(20, 0, 0, 0);
    m_edtHost = valueBox("edtHost");
    m_spnPort = named(new QSpinBox, "spnPort");
    m_spnPort->setRange(1, 65535);
    m_spnPort->setValue(5432);
    m_edtDatabase = valueBox("edtDatabase");
    m_edtUser = valueBox("edtUser");
    m_edtPassword = valueBox("edtPassword");
    m_edtPassword->setEchoMode(QLineEdit::Password);
    m_edtPassword->setPlaceholderText(QStringLiteral("留空则使用 ~/.pgpass；输入的密码保存在那里"));
    form->addRow(QStringLiteral("服务器："), m_edtHost);
    form->addRow(QStringLiteral("端口："), m_spnPort);
    form->addRow(QStringLiteral("数据库："), m_edtDatabase);
    form->addRow(QStringLiteral("用户名："), m_edtUser);
    form->addRow(QStringLiteral("密码："), m_edtPassword);
    auto *test = named(new QPushButton(QStringLiteral("测试连接")), "btnTest");
    connect(test, &QPushButton::clicked, this, &TDlgConnectDb::testServer);
    form->addRow(QString(), test);
    layout->addLayout(form);
    m_serverWidgets = {m_edtHost, m_spnPort, m_edtDatabase, m_edtUser, m_edtPassword, test};

    m_lblResult = named(new QLabel, "lblResult");
    m_lblResult->setWordWrap(true);
    layout->addWidget(m_lblResult);

    auto *buttons = new QDialogButtonBox;
    named(buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole), "btnOK");
    named(buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole), "btnCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &TDlgConnectDb::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TDlgConnectDb::reject);
    layout->addWidget(buttons);

    const DataSource current = DataSource::fromDs(currentDs, AppHome::dir());
    if (current.engine == Engine::PostgreSQL) {
        m_rbServer->setChecked(true);
        m_edtHost->setText(current.host);
        m_spnPort->setValue(current.port);
        m_edtDatabase->setText(current.database);
        m_edtUser->setText(current.user);
        m_edtPassword->setText(current.password);
        m_storedPassword = current.password;
    } else {
        m_rbLocal->setChecked(true);
        // By the text alone: QFileInfo gives up on a name longer than file systems allow.
        const qsizetype slash = current.sqliteFile.lastIndexOf(u'/');
        m_expectedFolder = current.sqliteFile.left(qMax<qsizetype>(1, slash));
        m_edtFolder->setText(QDir::toNativeSeparators(m_expectedFolder));
    }
    connect(m_rbLocal, &QRadioButton::toggled, this, &TDlgConnectDb::updateMode);
    updateMode();
    resize(kWidth, sizeHint().height());
}

void TDlgConnectDb::updateMode()
{
    for (QWidget *w : std::as_const(m_localWidgets))
        w->setEnabled(m_rbLocal->isChecked());
    for (QWidget *w : std::as_const(m_serverWidgets))
        w->setEnabled(m_rbServer->isChecked());
    m_lblResult->clear();
}

void TDlgConnectDb::showResult(const QString &text)
{
    m_lblResult->setText(ElidedText::forLabel(text, m_lblResult->fontMetrics(), m_textWidth));
}

void TDlgConnectDb::chooseFile()
{
    const QString file =
        FileChooser::openFileName(this, QStringLiteral("连接网络数据库"), AppHome::dir(),
                                  QStringLiteral("样品数据库 (%1);;所有文件 (*)")
                                      .arg(QString::fromLatin1(kDatabaseFileName)));
    if (!file.isEmpty())
        m_edtFolder->setText(QDir::toNativeSeparators(QFileInfo(file).path()));
}

QString TDlgConnectDb::serverDs(bool withPassword) const
{
    return DataSource::serverUrl(m_edtHost->text(), m_spnPort->value(), m_edtDatabase->text(),
                                 m_edtUser->text(),
                                 withPassword ? m_edtPassword->text() : QString());
}

bool TDlgConnectDb::keepPasswordInConfig() const
{
    if (m_storedPassword.isEmpty() || m_edtPassword->text() != m_storedPassword)
        return false;
    return ShowPrompt(QStringLiteral("连接设置（config.ini）中以明文保存着服务器的密码。"
                                     "要把它移到只有您能读的密码文件“%1”中吗？")
                          .arg(QDir::toNativeSeparators(PgPass::filePath())),
                      Prompt::Question) != Prompt::Yes;
}

bool TDlgConnectDb::acceptServer()
{
    if (m_edtHost->text().trimmed().isEmpty() || m_edtDatabase->text().trimmed().isEmpty()) {
        showResult(QStringLiteral("请输入服务器和数据库名称。"));
        return false;
    }
    QString report;
    if (!Connection::probe(DataSource::fromDs(serverDs(true), AppHome::dir()), &report)) {
        showResult(report);
        return false;
    }
    const QString password = m_edtPassword->text();
    if (password.isEmpty() || keepPasswordInConfig()) {
        m_ds = serverDs(true);
        return true;
    }
    const DataSource server = DataSource::fromDs(serverDs(false), AppHome::dir());
    QString error;
    if (!PgPass::store(server.host, server.port, server.database, server.user, password, &error)) {
        showResult(error);
        return false;
    }
    m_ds = serverDs(false);
    return true;
}

void TDlgConnectDb::testServer()
{
    QString report;
    Connection::probe(DataSource::fromDs(serverDs(true), AppHome::dir()), &report);
    showResult(report);
}

bool TDlgConnectDb::acceptFolder()
{
    const QString folder = QDir::fromNativeSeparators(m_edtFolder->text().trimmed());
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        showResult(QStringLiteral("请选择数据库所在的文件夹。"));
        return false;
    }
    const QFileInfo file(QDir(folder).filePath(QString::fromLatin1(kDatabaseFileName)));
    if (!file.exists() || file.size() == 0) {
        // A new empty folder is plainly meant for a new register; anywhere else, and where the
        // register was expected, the user says so.
        const bool emptyFolder = QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot) &&
                                 QFileInfo(folder) != QFileInfo(m_expectedFolder);
        const QString question =
            file.exists()
                ? QStringLiteral(
                      "文件夹“%1”中的数据库文件是空的（0 字节），要在这里新建一个样品数据库吗？")
                : QStringLiteral("文件夹“%1”中没有数据库文件，要在这里新建一个样品数据库吗？");
        if (!emptyFolder && ShowPrompt(question.arg(QDir::toNativeSeparators(folder)),
                                       Prompt::Question) != Prompt::Yes)
            return false;
        QString error;
        if (!Connection::createDatabase(DataSource::fromDs(folder, AppHome::dir()), &error)) {
            showResult(QStringLiteral("无法在该文件夹中建立数据库：%1").arg(error));
            return false;
        }
    }
    QString report;
    if (!Connection::probe(DataSource::fromDs(folder, AppHome::dir()), &report)) {
        showResult(report);
        return false;
    }
    m_ds = QDir::cleanPath(QDir(folder).absolutePath()) + u'/';
    return true;
}

void TDlgConnectDb::accept()
{
    if (m_rbLocal->isChecked() ? acceptFolder() : acceptServer())
        QDialog::accept();
}
