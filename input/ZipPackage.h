#pragma once

#include <QString>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orcus {
class zip_archive;
class zip_archive_stream_fd;
} // namespace orcus

// The parts of a zipped workbook (.xlsx, .ods), read through liborcus's zip reader.
class ZipPackage
{
public:
    // Nothing when the file is no readable zip archive.
    static std::unique_ptr<ZipPackage> open(const QString &path);
    ~ZipPackage();

    bool has(std::string_view part) const;
    // False when the part is missing or damaged.
    bool read(std::string_view part, std::vector<unsigned char> *bytes) const;

private:
    ZipPackage() = default;

    std::unique_ptr<orcus::zip_archive_stream_fd> m_stream;
    std::unique_ptr<orcus::zip_archive> m_archive;
    std::vector<std::string> m_parts;
};
