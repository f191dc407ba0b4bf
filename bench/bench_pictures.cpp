// Times rebuilding the thumbnails of a sample's pictures on the main window's picture page,
// against vipsthumbnail making 64-pixel thumbnails of the same files in the same run (two
// processes, as we use two threads).
//
//   quorin_pictures_bench DIR   (DIR keeps the generated pictures between runs)

#include "BenchTools.h"
#include "app/uFrmMain.h"
#include "core/AppHome.h"
#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/SqlListModel.h"
#include "register/PicturePage.h"
#include "register/PictureStore.h"
#include "register/SampleRecord.h"
#include "widgets/DBGridEh.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// A photograph's worth of detail: smooth shapes, edges and sensor noise, so the JPEG is about
// as large and as slow to decode as a camera's.
QImage photoLike(const QSize &size, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    const double fx = 6.0 / size.width();
    const double fy = 5.0 / size.height();
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const double u = x * fx + seed;
            const double v = y * fy;
            const int noise = int(random.bounded(25u)) - 12;
            const int r = int(128 + 90 * std::sin(u) * std::cos(v * 1.3)) + noise;
            const int g = int(128 + 80 * std::sin(u * 0.7 + v)) + noise;
            const int b = ((x / 97 + y / 89) % 2 ? 180 : 60) + noise;
            line[x] = qRgb(qBound(0, r, 255), qBound(0, g, 255), qBound(0, b, 255));
        }
    }
    return image;
}

QStringList makePictures(const QString &dir, const QString &stem, int count, const QSize &size)
{
    QDir().mkpath(dir);
    QStringList files;
    for (int i = 1; i <= count; ++i) {
        const QString file =
            QStringLiteral("%1/%2%3.jpg").arg(dir, stem).arg(i, 3, 10, QLatin1Char('0'));
        if (!QFile::exists(file) && !photoLike(size, quint32(i)).save(file, "JPEG", 92))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        files << file;
    }
    return files;
}

// Milliseconds vipsthumbnail takes for 64-pixel thumbnails of `files` (best of three), run as
// two processes at once, each given half of the files: both cores, as our two worker threads.
double vipsMs(const QStringList &files)
{
    std::vector<double> times;
    for (int i = 0; i < 3; ++i) {
        QTemporaryDir out;
        QElapsedTimer timer;
        timer.start();
        QProcess halves[2];
        for (int h = 0; h < 2; ++h) {
            QStringList half;
            for (qsizetype f = h; f < files.size(); f += 2)
                half << files.at(f);
            halves[h].start(QStringLiteral("vipsthumbnail"),
                            QStringList{QStringLiteral("--size"), QStringLiteral("64"),
                                        QStringLiteral("-o"),
                                        out.path() + QStringLiteral("/%s.jpg")} +
                                half);
        }
        for (QProcess &tool : halves) {
            if (!tool.waitForFinished(-1) || tool.exitCode() != 0)
                return -1;
        }
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return *std::min_element(times.begin(), times.end());
}

struct Build
{
    double ms;
    double longestPauseMs; // of the window's event loop while the thumbnails were read
};

// Moves the list to `row` and waits until every thumbnail of its sample is drawn.
Build rebuild(TFrmMain &main, PicturePage *page, int row)
{
    QElapsedTimer timer;
    QElapsedTimer sinceTick;
    double longest = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });
    QEventLoop loop;
    QObject::connect(page, &PicturePage::thumbnailsBuilt, &loop, &QEventLoop::quit);
    timer.start();
    sinceTick.start();
    ticker.start();
    main.grid()->setCurrentRow(row);
    // The move itself, before the loop runs again, counts as a pause too.
    longest = sinceTick.nsecsElapsed() / 1e6;
    sinceTick.restart();
    if (page->isBuilding())
        loop.exec();
    return {timer.nsecsElapsed() / 1e6, longest};
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorin_pictures_bench DIR\n");
        return 2;
    }
    BenchTools::QuietPrompt prompt;
    setPromptService(&prompt);
    const QString dir = QString::fromLocal8Bit(argv[1]);
    std::printf("making pictures in %s ...\n", qPrintable(dir));
    std::fflush(stdout);
    const struct
    {
        const char *what;
        QStringList files;
    } sets[] = {
        {"20 camera JPEGs 4000 x 3000",
         makePictures(dir + QStringLiteral("/camera"), QStringLiteral("cam"), 20, {4000, 3000})},
        {"100 small JPEGs 640 x 480",
         makePictures(dir + QStringLiteral("/small"), QStringLiteral("small"), 100, {640, 480})}};

    QTemporaryDir home;
    AppHome::set(home.path());
    TdmData dm(AppHome::path(QStringLiteral("config.ini")));
    QString error;
    if (!dm.open(QString(), &error)) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(error));
        return 1;
    }
    dmData = &dm;
    dm.setCurOperName(QStringLiteral("admin"));
    QDir().mkpath(AppHome::path(QStringLiteral("images")));
    std::vector<qint64> samples;
    for (const auto &set : sets) {
        QVariantMap values;
        values.insert(QStringLiteral("F_goodCode"), QString::fromUtf8(set.what));
        values.insert(QStringLiteral("F_editDate"), QDate::currentDate());
        const qint64 sample = SampleRecord::save(dm, 0, values, &error).value_or(0);
        samples.push_back(sample);
        for (const QString &file : set.files) {
            const QString name = QFileInfo(file).completeBaseName();
            PictureStore::copyFile(file, AppHome::path(QStringLiteral("images/%1.jpg").arg(name)),
                                   &error);
            PictureStore::insert(dm, sample, name, QStringLiteral(".jpg"), &error);
        }
    }

    TFrmMain main;
    main.SetLimits();
    main.show();
    main.findChild<QTabWidget *>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    auto *page = main.findChild<PicturePage *>(QStringLiteral("pnlPictures"));
    QApplication::processEvents();
    const auto rowOf = [&](qint64 id) {
        for (int row = 0; row < main.listModel()->rowCount(); ++row) {
            if (main.listModel()->value(row, QStringLiteral("F_ID")).toLongLong() == id)
                return row;
        }
        return -1;
    };

    std::printf("\n%-30s %10s %12s %9s %8s\n", "thumbnails of", "quorin ms", "longest pause",
                "vips ms", "ratio");
    for (size_t i = 0; i < std::size(sets); ++i) {
        const int row = rowOf(samples[i]);
        const int other = rowOf(samples[1 - i]);
        std::vector<double> times;
        std::vector<double> pauses;
        for (int run = 0; run < 4; ++run) {
            rebuild(main, page, other);
            const Build b = rebuild(main, page, row);
            // The first run reads the files from disk into the page cache for both tools.
            if (run > 0) {
                times.push_back(b.ms);
                pauses.push_back(b.longestPauseMs);
            }
        }
        const double ours = BenchTools::median(times);
        const double vips = vipsMs(sets[i].files);
        std::printf("%-30s %10.0f %12.1f %9.0f %8.2f\n", sets[i].what, ours,
                    BenchTools::median(pauses), vips, vips > 0 ? ours / vips : 0.0);
    }
    return 0;
}
