#include "widgets/EditorBottomBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>

EditorBottomBar::EditorBottomBar(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_place = new QStackedWidget;
    m_continuous = new QCheckBox(QStringLiteral("连续新增"));
    m_continuous->setObjectName(QStringLiteral("CheckBox1"));
    m_continuous->setChecked(true);
    m_place->addWidget(m_continuous);
    m_navigator = new QWidget;
    m_navigator->setObjectName(QStringLiteral("DBNavigator1"));
    auto *navigator = new QHBoxLayout(m_navigator);
    navigator->setContentsMargins(0, 0, 0, 0);
    navigator->setSpacing(1);
    const struct
    {
        const char *name;
        const char *icon;
        const char *hint;
        Move move;
    } moves[] = {{"nbFirst", "go-first", "第一条", First},
                 {"nbPrior", "go-previous", "上一条", Prior},
                 {"nbNext", "go-next", "下一条", Next},
                 {"nbLast", "go-last", "最后一条", Last}};
    for (const auto &m : moves) {
        auto *button = new QToolButton;
        button->setObjectName(QLatin1String(m.name));
        button->setIcon(QIcon::fromTheme(QLatin1String(m.icon)));
        button->setToolTip(QString::fromUtf8(m.hint));
        button->setFocusPolicy(Qt::NoFocus);
        navigator->addWidget(button);
        m_moves << button;
        connect(button, &QToolButton::clicked, this,
                [this, move = m.move] { emit moveRequested(move); });
    }
    m_place->addWidget(m_navigator);
    layout->addWidget(m_place);
    layout->addStretch(1);
    m_ok = new QPushButton(QStringLiteral("确定"));
    m_ok->setObjectName(QStringLiteral("Button1"));
    m_ok->setAutoDefault(false);
    m_cancel = new QPushButton(QStringLiteral("取消"));
    m_cancel->setObjectName(QStringLiteral("Button2"));
    m_cancel->setAutoDefault(false);
    layout->addWidget(m_ok);
    layout->addWidget(m_cancel);
}

void EditorBottomBar::setChanging(bool changing)
{
    m_place->setCurrentWidget(changing ? m_navigator : static_cast<QWidget *>(m_continuous));
}

void EditorBottomBar::setPosition(int current, int count)
{
    for (const Move move : {First, Prior, Next, Last})
        m_moves.at(move)->setEnabled(move == First || move == Prior ? current > 0
                                                                    : current < count - 1);
}

bool EditorBottomBar::continuousAdd() const
{
    return m_continuous->isChecked();
}

int EditorBottomBar::rowAfter(Move move, int current, int count)
{
    const int row = move == First  ? 0
                    : move == Last ? count - 1
                                   : current + (move == Next ? 1 : -1);
    return row >= 0 && row < count ? row : -1;
}
