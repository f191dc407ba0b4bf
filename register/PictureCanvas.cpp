#include "register/PictureCanvas.h"

#include <QMovie>
#include <QPaintEvent>
#include <QPainter>

PictureCanvas::PictureCanvas(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureCanvas::setImage(const QImage &image)
{
    clear();
    m_image = image;
    update();
}

void PictureCanvas::setMovie(QMovie *movie)
{
    clear();
    m_movie = movie;
    movie->setParent(this);
    connect(movie, &QMovie::frameChanged, this, qOverload<>(&QWidget::update));
    movie->start();
}

void PictureCanvas::clear()
{
    delete m_movie;
    m_image = QImage();
    update();
}

QImage PictureCanvas::image() const
{
    return m_movie ? m_movie->currentImage() : m_image;
}

void PictureCanvas::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    const QRect exposed = event->rect();
    p.fillRect(exposed, Qt::black);
    const QImage picture = image();
    if (picture.isNull() || width() <= 0 || height() <= 0)
        return;
    // Scaling the painter rather than cutting out the exposed part: neighbouring repaints
    // meet without seams, and the engine still draws only inside the exposed part.
    p.scale(double(width()) / picture.width(), double(height()) / picture.height());
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(0, 0, picture);
}
