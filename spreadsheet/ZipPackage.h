#pragma once

#include <QString>
#include <QtGlobal>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orcus {
class zip_archive;
class zip_archive_stream_fd;
} // namespace orcus

// The parts of a zipped workbook (.xlsx, .ods), read through liborcus's zip reader. The reader
// inflates a part whole into the size the archive's directory declares for it, so the
// directory is checked first: a part declared larger than the budget, or packed larger than
// the file, is refused before anything is inflated.
class ZipPackage
{
public:
    // Nothing when the file is no readable zip archive. `partBytes` bounds one inflated part.
    static std::unique_ptr<ZipPackage> open(const QString &path, qint64 partBytes);
    ~ZipPackage();

    bool has(std::string_view part) const;
    // False, with the reason in `error`, when the part is missing, damaged or larger than the
    // budget.
    bool read(std::string_view part, std::vector<unsigned char> *bytes, QString *error) const;

private:
    ZipPackage() = default;

    struct Sizes
    {
        quint32 packed = 0;
        quint32 inflated = 0;
    };
    bool readDirectory(const QString &path);

    std::unique_ptr<orcus::zip_archive_stream_fd> m_stream;
    std::unique_ptr<orcus::zip_archive> m_archive;
    // Every entry's sizes by name; a name listed twice keeps the larger sizes.
    std::map<std::string, Sizes, std::less<>> m_parts;
    qint64 m_fileSize = 0;
    qint64 m_partBytes = 0;
};
