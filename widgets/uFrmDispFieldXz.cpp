#include "widgets/uFrmDispFieldXz.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TFrmDispFieldXZ::TFrmDispFieldXZ(const QStringList &captions, const QList<bool> &visible,
                                 QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("FrmDispFieldXZ"));
    setWindowTitle(QStringLiteral("字段列表"));
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("CheckListBox1"));
    for (int i = 0; i < captions.size(); ++i) {
        auto *item = new QListWidgetItem(captions[i], m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(visible.value(i, true) ? Qt::Checked : Qt::Unchecked);
    }
    auto *side = new QVBoxLayout;
    auto *picture = new QLabel;
    picture->setPixmap(QIcon::fromTheme(QStringLiteral("view-choose")).pixmap(48, 48));
    side->addWidget(picture, 0, Qt::AlignHCenter);
    side->addStretch();
    auto *ok = new QPushButton(QStringLiteral("确定"));
    ok->setObjectName(QStringLiteral("btnOK"));
    auto *cancel = new QPushButton(QStringLiteral("取消"));
    cancel->setObjectName(QStringLiteral("btnCancel"));
    side->addWidget(ok);
    side->addWidget(cancel);
    connect(ok, &QPushButton::clicked, this, &TFrmDispFieldXZ::accept);
    connect(cancel, &QPushButton::clicked, this, &TFrmDispFieldXZ::reject);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(side);
    resize(320, 380);
}

void TFrmDispFieldXZ::accept()
{
    m_result.clear();
    for (int i = 0; i < m_list->count(); ++i)
        m_result << (m_list->item(i)->checkState() == Qt::Checked ? QStringLiteral("1")
                                                                  : QStringLiteral("0"));
    QDialog::accept();
}
