#include "operators/uFrmUserInfo.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/Schema.h"
#include "core/Shell.h"
#include "operators/CompanyInfo.h"
#include "operators/CompanyLinks.h"
#include "widgets/DialogButtons.h"
#include "widgets/EditorKeys.h"
#include "widgets/EnsureFolder.h"
#include "widgets/MemoBox.h"
#include "widgets/PlaceForm.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kSaveFailed = QStringLiteral("保存失败，请检测数据库连接！");

int widthOf(const QString &column)
{
    return Schema::width(QStringLiteral("SysInfo"), column);
}

void styleAsLink(QLineEdit *box)
{
    box->setStyleSheet(QStringLiteral("QLineEdit { color: blue; text-decoration: underline; }"));
    box->setCursor(Qt::PointingHandCursor);
    box->setToolTip(QStringLiteral("双击打开"));
}

} // namespace

TFrmUserInfo::TFrmUserInfo(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FrmUserInfo"));
    setWindowTitle(QStringLiteral("公司信息"));

    auto *pages = new QTabWidget;
    pages->setObjectName(QStringLiteral("PageControl1"));
    auto *mainPage = new QWidget;
    mainPage->setObjectName(QStringLiteral("TabSheet1"));
    auto *mainForm = new QFormLayout(mainPage);
    const struct
    {
        const char *column;
        const char *objectName;
        const char *label;
    } mainBoxes[] = {
        {"F_Code", "edtCode", "公司名称："},       {"F_Name", "edtName", "联系地址："},
        {"F_Manager", "edtManager", "负责人："},   {"F_Phone", "edtPhone", "联系电话："},
        {"F_HandPhone", "edtMovePhone", "手机："}, {"F_Homepage", "edtHomepage", "主页："},
        {"F_Email", "edtEmail", "电子邮箱："}};
    for (const auto &b : mainBoxes) {
        const QString label = QString::fromUtf8(b.label);
        mainForm->addRow(label, addBox(QLatin1String(b.column), b.objectName, label));
    }
    edtHomepage = m_boxes.value(QStringLiteral("F_Homepage"));
    edtEmail = m_boxes.value(QStringLiteral("F_Email"));
    styleAsLink(edtHomepage);
    styleAsLink(edtEmail);
    // The backup window sets the folder; here it only travels with the row.
    edtBakPath =
        addBox(QStringLiteral("F_BakPath"), "edtBakPath", QStringLiteral("数据备份路径："));
    edtBakPath->setParent(mainPage);
    edtBakPath->hide();
    pages->addTab(mainPage, QStringLiteral("主要资料"));

    auto *otherPage = new QWidget;
    otherPage->setObjectName(QStringLiteral("TabSheet2"));
    auto *otherForm = new QFormLayout(otherPage);
    otherForm->addRow(
        QStringLiteral("注册法人："),
        addBox(QStringLiteral("F_Enroler"), "edtEnroler", QStringLiteral("注册法人：")));
    Mem = new MemoBox;
    Mem->setObjectName(QStringLiteral("Mem"));
    m_widths.add(QStringLiteral("F_Mem"), Mem, widthOf(QStringLiteral("F_Mem")),
                 QStringLiteral("公司简介："));
    otherForm->addRow(QStringLiteral("公司简介："), Mem);
    pages->addTab(otherPage, QStringLiteral("其他资料"));

    QPushButton *clear = windowButton("btnClear", "重填");
    QPushButton *reload = windowButton("btnReload", "修改");
    QPushButton *save = windowButton("btnSave", "保存");
    QPushButton *close = windowButton("btnClose", "关闭");
    connect(clear, &QPushButton::clicked, this, &TFrmUserInfo::clearInfo);
    connect(reload, &QPushButton::clicked, this, &TFrmUserInfo::loadInfo);
    connect(save, &QPushButton::clicked, this, &TFrmUserInfo::saveInfo);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addLayout(buttonRow({clear, reload}, {save, close}));
    edtHomepage->installEventFilter(this);
    edtEmail->installEventFilter(this);
    new EditorKeys(this, save, close);
    resize(460, 360);
}

QLineEdit *TFrmUserInfo::addBox(const QString &column, const char *objectName, const QString &label)
{
    auto *box = new QLineEdit;
    box->setObjectName(QLatin1String(objectName));
    m_widths.add(column, box, widthOf(column), label);
    m_boxes.insert(column, box);
    return box;
}

void TFrmUserInfo::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    loadInfo();
}

void TFrmUserInfo::loadInfo()
{
    QString error;
    const std::optional<QVariantMap> values = CompanyInfo::load(*dmData, &error);
    if (!values) {
        dmData->showFailure(kMsgOpenFailed, error);
        return;
    }
    m_loaded = *values;
    m_widths.lift();
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it)
        it.value()->setText(m_loaded.value(it.key()).toString());
    Mem->setPlainText(m_loaded.value(QStringLiteral("F_Mem")).toString());
    m_widths.settle();
}

void TFrmUserInfo::clearInfo()
{
    for (QLineEdit *box : std::as_const(m_boxes)) {
        if (box != edtBakPath)
            box->clear();
    }
    Mem->clear();
}

QVariantMap TFrmUserInfo::typedValues() const
{
    QVariantMap values;
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it)
        values.insert(it.key(), it.value()->text().trimmed());
    values.insert(QStringLiteral("F_Mem"), Mem->toPlainText().trimmed());
    return values;
}

bool TFrmUserInfo::saveInfo()
{
    QVariantMap values = typedValues();
    // No folder stands for back/ in the program's folder.
    const QString folder = values.value(QStringLiteral("F_BakPath")).toString();
    if (!folder.isEmpty() && !EnsureFolder(folder, QStringLiteral("创建失败,请检测路径是否合法!")))
        return false;
    if (!m_widths.fit(&values, m_loaded))
        return false;
    QString error;
    if (!CompanyInfo::save(*dmData, values, &error)) {
        dmData->showFailure(kSaveFailed, error);
        return false;
    }
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        m_loaded.insert(it.key(), it.value());
    return true;
}

void TFrmUserInfo::openHomePage()
{
    const QUrl page = CompanyLinks::homePage(edtHomepage->text());
    if (!page.isEmpty())
        Shell::openOrTell(page);
}

void TFrmUserInfo::sendMail()
{
    const QString address = edtEmail->text().trimmed();
    if (address.isEmpty())
        return;
    if (!CompanyLinks::isMailAddress(address)) {
        ShowPrompt(QStringLiteral("非法电子邮箱！"), Prompt::Error);
        edtEmail->setFocus();
        return;
    }
    Shell::openOrTell(CompanyLinks::mailTo(address));
}

bool TFrmUserInfo::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == edtHomepage)
            openHomePage();
        else if (watched == edtEmail)
            sendMail();
    }
    return QDialog::eventFilter(watched, event);
}

void showUserInfo(QWidget *owner)
{
    TFrmUserInfo window(owner);
    PlaceForm(&window, 0);
    window.exec();
}
