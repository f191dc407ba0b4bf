#include "register/uFrmAbout.h"

#include "core/AppTitle.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

TFrmAbout::TFrmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QStringLiteral("关于我们"));
    auto *icon = new QLabel;
    icon->setPixmap(QIcon::fromTheme(QStringLiteral("help-about")).pixmap(64, 64));
    auto *text = new QLabel(
        QStringLiteral("<h3>%1</h3><p>版本 %2</p><p>样品登记、报价、图片、客户与供应商资料，"
                       "统计、报表与数据交换。</p><p>%3<br><a href=\"%4\">%4</a></p>")
            .arg(AppTitle::full(), QStringLiteral(QUORIN_VERSION), AppTitle::contactLine(),
                 AppTitle::webSite()));
    text->setObjectName(QStringLiteral("lblAbout"));
    text->setOpenExternalLinks(true);
    text->setWordWrap(true);
    auto *row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    resize(420, 220);
}
