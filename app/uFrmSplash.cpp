#include "app/uFrmSplash.h"

#include "core/AppTitle.h"
#include "widgets/PlaceForm.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

TfrmSplash::TfrmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("系统登录 splash 界面"));
    setFixedSize(470, 294);
    m_status = new QLabel(QStringLiteral("系统正在启动，请稍候 ....."), this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setGeometry(24, 250, 420, 24);
    m_status->setStyleSheet(QStringLiteral("color: white;"));
    PlaceForm(this, 1);
}

void TfrmSplash::setStatus(const QString &text)
{
    m_status->setText(text);
    m_status->repaint();
}

QString TfrmSplash::status() const
{
    return m_status->text();
}

void TfrmSplash::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
    sky.setColorAt(1, QColor(0x0b, 0x24, 0x3b));
    painter.fillRect(rect(), sky);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 28));
    painter.drawEllipse(QPoint(390, 70), 120, 120);
    painter.drawEllipse(QPoint(420, 200), 70, 70);

    painter.setPen(Qt::white);
    QFont title = font();
    title.setPointSize(22);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRect(24, 80, 430, 50), Qt::AlignLeft | Qt::AlignVCenter, AppTitle::product());
    QFont edition = font();
    edition.setPointSize(11);
    painter.setFont(edition);
    painter.drawText(QRect(26, 130, 430, 30), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("企业版  ·  版本 %1").arg(QStringLiteral(QUORIN_VERSION)));
    painter.setPen(QColor(255, 255, 255, 90));
    painter.drawLine(24, 240, 446, 240);
}
