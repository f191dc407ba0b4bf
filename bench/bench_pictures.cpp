// Times rebuilding the thumbnails of a sample's pictures on the main window's picture page,
// against vipsthumbnail making 64-pixel thumbnails of the same files in the same run (two
// processes, as we use two threads). With a server: storing 100 camera pictures there against
// psql's \copy of the same bytes; the first screen of 20 camera thumbnails from the server
// with the workstation's cache cold and warm against the register file's; a backup with the
// pictures against pg_dump -Fc, and on the register file against cp of images/ and the
// sqlite3 tool's .backup.
//
//   quorin_pictures_bench DIR [SERVER PGBIN]
//   DIR keeps the generated pictures between runs; SERVER is the URL of an empty database,
//   PGBIN the folder of that server's pg_dump.

#include "BenchTools.h"
#include "app/uFrmMain.h"
#include "core/AppHome.h"
#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/SqlListModel.h"
#include "maintenance/Backup.h"
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
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

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

// Best of three, in milliseconds; negative when a run failed.
double best(const std::function<bool()> &run)
{
    double fastest = -1;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!run())
            return -1;
        const double ms = timer.nsecsElapsed() / 1e6;
        fastest = fastest < 0 ? ms : std::min(fastest, ms);
    }
    return fastest;
}

bool tool(const QStringList &arguments)
{
    return BenchTools::runProgram(arguments).ms >= 0;
}

QString program(const QString &name)
{
    return QStandardPaths::findExecutable(name);
}

qint64 newSample(TdmData &dm, const QString &code)
{
    QVariantMap values;
    values.insert(QStringLiteral("F_goodCode"), code);
    values.insert(QStringLiteral("F_editDate"), QDate::currentDate());
    QString error;
    return SampleRecord::save(dm, 0, values, &error).value_or(0);
}

// `files` as rows of T_Picture in COPY's text format, for psql's \copy.
bool writeCopyFile(const QStringList &files, const QString &target)
{
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    for (const QString &file : files) {
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = in.readAll();
        out.write(PictureStore::hashOf(bytes).toLatin1() + '\t' + QByteArray::number(bytes.size()) +
                  "\t\\\\x" + bytes.toHex() + '\n');
    }
    return true;
}

qint64 bytesOf(const QStringList &files)
{
    qint64 total = 0;
    for (const QString &f : files)
        total += QFileInfo(f).size();
    return total;
}

void ratioRow(const char *what, double ours, const char *against, double reference)
{
    std::printf("%-44s %10.0f %-30s %10.0f %6.2f\n", what, ours, against, reference,
                reference > 0 ? ours / reference : 0.0);
}

// The first screen of `sample`'s thumbnails on a main window over the data module `dm`; with
// `cold`, the workstation's cache emptied before each run. Median of three, after one.
double firstScreen(qint64 sample, qint64 other, bool cold)
{
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
    std::vector<double> times;
    for (int run = 0; run < 4; ++run) {
        rebuild(main, page, rowOf(other));
        if (cold)
            QDir(AppHome::cachePath(QStringLiteral("thumbnails"))).removeRecursively();
        const Build b = rebuild(main, page, rowOf(sample));
        if (run > 0)
            times.push_back(b.ms);
    }
    return BenchTools::median(times);
}

int serverRuns(const QString &dir, const QString &url, const QString &pgbin,
               double folderFirstScreenMs, TdmData &fileDm)
{
    std::printf("making 100 camera pictures ...\n");
    std::fflush(stdout);
    const QStringList camera =
        makePictures(dir + QStringLiteral("/camera"), QStringLiteral("cam"), 100, {4000, 3000});
    const qint64 cameraBytes = bytesOf(camera);
    QTemporaryDir work;
    TdmData server(AppHome::path(QStringLiteral("server.ini")));
    QString error;
    if (!server.open(url, &error)) {
        std::fprintf(stderr, "cannot open the server: %s\n", qPrintable(error));
        return 1;
    }
    server.setCurOperName(QStringLiteral("admin"));
    const auto empty = [&] {
        return server.ExecSql(QStringLiteral("delete from T_ImageREC")) &&
               server.ExecSql(QStringLiteral("truncate T_Picture"));
    };

    // psql's \copy of the very bytes, into the same table.
    const QString copyFile = work.filePath(QStringLiteral("pictures.copy"));
    if (!writeCopyFile(camera, copyFile))
        return 1;
    const double copyMs = best([&] {
        return empty() && tool({program(QStringLiteral("psql")), QStringLiteral("-X"),
                                QStringLiteral("-q"), QStringLiteral("-v"),
                                QStringLiteral("ON_ERROR_STOP=1"), url, QStringLiteral("-c"),
                                QStringLiteral("\\copy T_Picture(F_hash, F_size, F_data) from '%1'")
                                    .arg(copyFile)});
    });
    // Ours: 20 pictures of one sample, 80 of another, each added as 新增 adds it.
    const qint64 twenty = newSample(server, QStringLiteral("20 camera"));
    const qint64 eighty = newSample(server, QStringLiteral("80 camera"));
    const std::unique_ptr<PictureStore> store = PictureStore::of(server.database());
    const double addMs = best([&] {
        if (!empty())
            return false;
        for (qsizetype i = 0; i < camera.size(); ++i) {
            if (!store->add(i < 20 ? twenty : eighty, QFileInfo(camera[i]).completeBaseName(),
                            camera[i], true, &error))
                return false;
        }
        return true;
    });
    if (copyMs < 0 || addMs < 0) {
        std::fprintf(stderr, "storing failed: %s\n", qPrintable(error));
        return 1;
    }

    dmData = &server;
    const double coldMs = firstScreen(twenty, eighty, true);
    const double warmMs = firstScreen(twenty, eighty, false);
    dmData = &fileDm;

    // The register file holds the same 100 pictures in images/.
    const qint64 fileSample = newSample(fileDm, QStringLiteral("80 camera"));
    const std::unique_ptr<PictureStore> files = PictureStore::of(fileDm.database());
    for (qsizetype i = 20; i < camera.size(); ++i)
        files->add(fileSample, QFileInfo(camera[i]).completeBaseName(), camera[i], true, &error);
    const QString fileBackup = work.filePath(QStringLiteral("file.back"));
    const double fileBackupMs =
        best([&] { return Backup::write(fileDm.source(), fileBackup).isDone(); });
    const QString copied = work.filePath(QStringLiteral("images-copy"));
    const double cpMs = best([&] {
        QDir(copied).removeRecursively();
        return tool({program(QStringLiteral("cp")), QStringLiteral("-r"),
                     AppHome::path(QStringLiteral("images")), copied}) &&
               tool({program(QStringLiteral("sqlite3")), fileDm.source().sqliteFile,
                     QStringLiteral(".backup ") + work.filePath(QStringLiteral("tool.back"))});
    });
    const QString serverBackup = work.filePath(QStringLiteral("server.back"));
    const double serverBackupMs =
        best([&] { return Backup::write(server.source(), serverBackup).isDone(); });
    const QString dump = work.filePath(QStringLiteral("server.dump"));
    const double dumpMs = best([&] {
        return tool({QDir(pgbin).filePath(QStringLiteral("pg_dump")), QStringLiteral("-Fc"),
                     QStringLiteral("-f"), dump, url});
    });

    std::printf("\n100 camera pictures, %.0f MB; machine load %s\n", cameraBytes / 1e6,
                qPrintable(BenchTools::loadAverage()));
    std::printf("%-44s %10s %-30s %10s %6s\n", "", "quorin ms", "reference", "ref ms", "ratio");
    ratioRow("store 100 camera pictures on the server", addMs, "psql \\copy, same bytes", copyMs);
    ratioRow("first screen, 20 camera, server, cold cache", coldMs, "register file's first screen",
             folderFirstScreenMs);
    ratioRow("first screen, 20 camera, server, warm cache", warmMs, "register file's first screen",
             folderFirstScreenMs);
    ratioRow("backup with pictures, server", serverBackupMs, "pg_dump -Fc", dumpMs);
    ratioRow("backup with pictures, register file", fileBackupMs, "cp -r images + .backup", cpMs);
    std::printf("backup files: server %.0f MB, pg_dump -Fc %.0f MB, register file %.0f MB\n",
                QFileInfo(serverBackup).size() / 1e6, QFileInfo(dump).size() / 1e6,
                QFileInfo(fileBackup).size() / 1e6);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: quorin_pictures_bench DIR [SERVER PGBIN]\n");
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
        const std::unique_ptr<PictureStore> store = PictureStore::of(dm.database());
        for (const QString &file : set.files)
            store->add(sample, QFileInfo(file).completeBaseName(), file, true, &error);
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
    std::vector<double> folderMs;
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
        folderMs.push_back(ours);
        const double vips = vipsMs(sets[i].files);
        std::printf("%-30s %10.0f %12.1f %9.0f %8.2f\n", sets[i].what, ours,
                    BenchTools::median(pauses), vips, vips > 0 ? ours / vips : 0.0);
    }
    if (argc == 4)
        return serverRuns(dir, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                          folderMs.front(), dm);
    return 0;
}
