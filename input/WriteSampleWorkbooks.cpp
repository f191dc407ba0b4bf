// Writes the three sample workbooks into a folder, so that a package ships them in
// share/quorin beside the report templates.
#include "input/SampleWorkbooks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorin_sample_workbooks FOLDER\n");
        return 2;
    }
    const QString folder = QFile::decodeName(argv[1]);
    QDir().mkpath(folder);
    for (const char *table : {"T_goods", "T_client", "T_suppler"}) {
        QString error;
        const QString path = QDir(folder).filePath(SampleWorkbooks::fileName(QLatin1String(table)));
        if (!SampleWorkbooks::write(QLatin1String(table), path, &error)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
            return 1;
        }
    }
    return 0;
}
