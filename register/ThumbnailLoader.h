#pragma once

#include <QColor>
#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QThreadPool>

// Reads and draws thumbnail tiles on worker threads, so the window stays responsive while a
// sample's pictures are read. Starting again voids the earlier work: only the latest
// request reports.
class ThumbnailLoader : public QObject
{
    Q_OBJECT

public:
    struct Job
    {
        qint64 key; // the picture record the tile belongs to
        QString path;
    };
    struct Result
    {
        qint64 key;
        QImage tile; // null when the file could not be read
    };

    explicit ThumbnailLoader(QObject *parent = nullptr);
    ~ThumbnailLoader() override;

    void start(const QList<Job> &jobs, const QColor &face);
    void cancel();
    bool isBusy() const { return m_watcher != nullptr; }

signals:
    void tileReady(qint64 key, const QImage &tile);
    void tileFailed(qint64 key);
    // Every tile of the latest request is reported.
    void finished();

private:
    QThreadPool m_pool;
    QFutureWatcher<Result> *m_watcher = nullptr;
};
