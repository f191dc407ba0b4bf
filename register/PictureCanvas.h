#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

class QMovie;

// The viewer's picture, stretched to fill the widget. Only the exposed part is drawn, so a
// picture zoomed far in costs no more than what is on screen. An animated picture plays.
class PictureCanvas : public QWidget
{
    Q_OBJECT

public:
    explicit PictureCanvas(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    // Plays `movie`, which the canvas takes over.
    void setMovie(QMovie *movie);
    void clear();
    bool isEmpty() const { return image().isNull(); }
    // The picture as it is shown now (the current frame of an animation).
    QImage image() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
    QPointer<QMovie> m_movie;
};
