// Labels and scanning, each against a reference in the same run:
// - 10 000 labels on the shipped A4 sheet (Code 128 and QR code each, and their texts) prepared
//   and written as a PDF, against a bare loop drawing the same zint symbols and texts at the
//   same places with QPainter on a QPdfWriter;
// - finding a scanned code (样品编号 or 条型码) among 1 000 000 records, against fetching one
//   record by its key, on SQLite and (given a server) on PostgreSQL.
//
//   quorin_labels_bench WORK_FOLDER [postgresql://user@host:port/maintenance-db]

#include "core/AppHome.h"
#include "core/Connection.h"
#include "core/DataDm.h"
#include "core/DataSource.h"
#include "register/SampleScan.h"
#include "report/ReportEngine.h"
#include "report/ReportOutputs.h"
#include "report/ReportText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>
#include <zint.h>

namespace {

constexpr int kLabels = 10000;
// The register's size, from the command line.
int records = 1000000;

QString codeOf(int n)
{
    return QStringLiteral("YP%1").arg(n, 7, 10, QLatin1Char('0'));
}

class Samples : public Report::RowSource
{
public:
    bool next(Report::Row *row) override
    {
        if (m_n >= kLabels)
            return false;
        ++m_n;
        *row = Report::Row{{QStringLiteral("F_goodCode"), QStringLiteral("F_goodName"),
                            QStringLiteral("F_spec"), QStringLiteral("F_depotPos"),
                            QStringLiteral("F_huoJia")},
                           {codeOf(m_n), QStringLiteral("不锈钢轴承%1").arg(m_n % 97),
                            QStringLiteral("M8×%1").arg(m_n % 60), QStringLiteral("二号库"),
                            QStringLiteral("B-%1").arg(m_n % 40)}};
        return true;
    }

private:
    int m_n = 0;
};

class SampleData : public Report::DataProvider
{
public:
    std::unique_ptr<Report::RowSource> open(const QString &, const Report::Row *,
                                            QString *) override
    {
        return std::make_unique<Samples>();
    }
};

double programMs(const QString &pdf)
{
    Report::Template sheet;
    QString error;
    if (!Report::load(QStringLiteral(":/home/Qr/样品标签（A4，3 × 8）.frf"), &sheet, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return -1;
    }
    QElapsedTimer timer;
    timer.start();
    SampleData data;
    Report::Prepared prepared;
    WorkResult result = Report::prepare(sheet, data, &prepared);
    if (result.isDone())
        result = Report::writePdf(prepared, pdf);
    if (!result.isDone()) {
        std::fprintf(stderr, "%s\n", qPrintable(result.reason()));
        return -1;
    }
    return double(timer.elapsed());
}

// One zint symbol drawn as its rectangles and texts, `k` device units to zint's unit.
void drawSymbol(QPainter &painter, int symbology, const QByteArray &data, const QRectF &box)
{
    zint_symbol *s = ZBarcode_Create();
    s->symbology = symbology;
    s->input_mode = UNICODE_MODE;
    s->output_options |= BARCODE_QUIET_ZONES;
    s->show_hrt = symbology == BARCODE_QRCODE ? 0 : 1;
    if (ZBarcode_Encode_and_Buffer_Vector(s,
                                          reinterpret_cast<const unsigned char *>(data.constData()),
                                          int(data.size()), 0) < ZINT_ERROR) {
        const zint_vector &v = *s->vector;
        const double k = symbology == BARCODE_QRCODE
                             ? qMin(box.width() / v.width, box.height() / v.height)
                             : box.width() / v.width;
        QList<QRectF> bars;
        for (const zint_vector_rect *r = v.rectangles; r; r = r->next)
            bars << QRectF(box.left() + r->x * k, box.top() + r->y * k, r->width * k,
                           r->height * k);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawRects(bars.constData(), int(bars.size()));
        painter.setPen(Qt::black);
        for (const zint_vector_string *t = v.strings; t; t = t->next) {
            QFont font = painter.font();
            font.setPointSizeF(t->fsize * k / (600 / 25.4) * 72 / 25.4);
            painter.setFont(font);
            painter.drawText(QPointF(box.left() + t->x * k, box.top() + t->y * k),
                             QString::fromUtf8(reinterpret_cast<const char *>(t->text)));
        }
    }
    ZBarcode_Delete(s);
}

// The same labels, drawn by hand: texts and symbols at the template's places.
double referenceMs(const QString &pdf)
{
    QElapsedTimer timer;
    timer.start();
    QPdfWriter writer(pdf);
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    const double perMm = 600 / 25.4;
    const auto mm = [perMm](double x, double y, double w, double h) {
        return QRectF(x * perMm, y * perMm, w * perMm, h * perMm);
    };
    QFont bold = Report::qFont(Report::Font{{}, 9, true, false, false});
    QFont small = Report::qFont(Report::Font{{}, 7, false, false, false});
    for (int n = 1; n <= kLabels; ++n) {
        const int place = (n - 1) % 24;
        if (n > 1 && place == 0)
            writer.newPage();
        const double x = (place % 3) * 70;
        const double y = 0.5 + (place / 3) * 37;
        const QString code = codeOf(n);
        painter.setPen(Qt::black);
        painter.setFont(bold);
        painter.drawText(mm(x + 3, y + 2, 64, 5), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("不锈钢轴承%1").arg(n % 97));
        painter.setFont(small);
        painter.drawText(mm(x + 3, y + 7, 64, 4), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("规格型号：M8×%1").arg(n % 60));
        painter.drawText(mm(x + 3, y + 28.5, 64, 3.5), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("样品编号：%1").arg(code));
        painter.drawText(mm(x + 3, y + 32, 64, 3.5), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("位置：二号库 / B-%1").arg(n % 40));
        drawSymbol(painter, BARCODE_CODE128, code.toUtf8(), mm(x + 3, y + 11.5, 44, 15));
        drawSymbol(painter, BARCODE_QRCODE, code.toUtf8(), mm(x + 49, y + 10.5, 18, 18));
    }
    painter.end();
    return double(timer.elapsed());
}

// A register of `records` samples, their codes YP0000001 … and bar codes 69…; made once.
bool fillRegister(TdmData &dm, QString *error)
{
    QSqlQuery q(dm.database());
    if (q.exec(QStringLiteral("select count(*) from GoodMain")) && q.next() &&
        q.value(0).toInt() >= records)
        return true;
    const bool server = dm.dialect().engine() == Engine::PostgreSQL;
    const QString numbers =
        server ? QStringLiteral("select i from generate_series(1, %1) as n(i)").arg(records)
               : QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n "
                                "where i < %1) select i from n")
                     .arg(records);
    const QString sql =
        QStringLiteral("insert into GoodMain(F_cltID, F_goodCode, F_goodName, F_TMcode, "
                       "F_editDate) select 0, 'YP' || substr('000000' || i, -7), '样品', "
                       "'69' || (100000000000 + i), '2026-01-01' from (%1) as numbers")
            .arg(numbers);
    const QString pgSql = QString(sql).replace(QStringLiteral("substr('000000' || i, -7)"),
                                               QStringLiteral("lpad(i::text, 7, '0')"));
    if (!q.exec(QStringLiteral("begin")) || !q.exec(server ? pgSql : sql) ||
        !q.exec(QStringLiteral("commit"))) {
        *error = q.lastError().text();
        return false;
    }
    if (server)
        q.exec(QStringLiteral("analyze GoodMain"));
    return true;
}

double medianMs(const std::function<void(int)> &lookUp)
{
    std::vector<double> times;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer timer;
        timer.start();
        lookUp(int(QRandomGenerator::global()->bounded(1, records + 1)));
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + 100, times.end());
    return times[100];
}

void scanBench(const QString &name, TdmData &dm)
{
    QString error;
    if (!fillRegister(dm, &error)) {
        std::fprintf(stderr, "%s: cannot fill the register: %s\n", qPrintable(name),
                     qPrintable(error));
        return;
    }
    bool allFound = true;
    const double code = medianMs([&](int n) {
        QList<qint64> ids;
        allFound = SampleScan::find(dm.database(), codeOf(n).toLower(), 1000, &ids, &error) &&
                   ids.size() == 1 && allFound;
    });
    const double barCode = medianMs([&](int n) {
        QList<qint64> ids;
        allFound = SampleScan::find(dm.database(), QStringLiteral("69%1").arg(100000000000 + n),
                                    1000, &ids, &error) &&
                   ids.size() == 1 && allFound;
    });
    const double key = medianMs([&](int n) {
        QSqlQuery q(dm.database());
        q.prepare(QStringLiteral("select F_ID from GoodMain where F_ID = ?"));
        q.addBindValue(n);
        q.exec();
        q.next();
    });
    std::printf("%s, %d records: a scanned 样品编号 found in %.2f ms, a 条型码 in %.2f ms "
                "(median of 200); one record by its key %.2f ms; all found: %s\n",
                qPrintable(name), records, code, barCode, key, allFound ? "yes" : "NO");
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorin_labels_bench WORK_FOLDER [SERVER_URL [RECORDS]]\n");
        return 2;
    }
    if (argc > 3)
        records = qMax(1, QByteArray(argv[3]).toInt());
    const QString work = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(work);
    const double reference = referenceMs(QDir(work).filePath(QStringLiteral("reference.pdf")));
    const double program = programMs(QDir(work).filePath(QStringLiteral("labels.pdf")));
    std::printf("%d labels (A4, 3 × 8, Code 128 and QR each) to PDF: %.1f s; a bare QPdfWriter "
                "loop drawing the same symbols and texts: %.1f s; ratio %.2f\n",
                kLabels, program / 1000, reference / 1000, program / reference);

    const QString home = QDir(work).filePath(QStringLiteral("scan"));
    QDir().mkpath(home);
    AppHome::set(home);
    {
        TdmData dm(AppHome::path(QStringLiteral("config.ini")));
        QString error;
        if (!dm.open(QString(), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        scanBench(QStringLiteral("SQLite"), dm);
    }
    if (argc > 2) {
        const DataSource server = DataSource::fromDs(QString::fromLocal8Bit(argv[2]), QString());
        const QString url =
            DataSource::serverUrl(server.host, server.port, QStringLiteral("quorin_labels_bench"),
                                  server.user, server.password);
        {
            QSqlDatabase maintenance;
            QString error;
            if (Connection::open(server, QStringLiteral("bench-admin"), &maintenance, &error))
                QSqlQuery(maintenance).exec(QStringLiteral("create database quorin_labels_bench"));
            maintenance.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench-admin"));
        TdmData dm(AppHome::path(QStringLiteral("config.ini")));
        QString error;
        if (!dm.open(url, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        scanBench(QStringLiteral("PostgreSQL"), dm);
    }
    return 0;
}
