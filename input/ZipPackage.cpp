#include "input/ZipPackage.h"

#include <QFile>
#include <algorithm>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

std::unique_ptr<ZipPackage> ZipPackage::open(const QString &path)
{
    std::unique_ptr<ZipPackage> package(new ZipPackage);
    try {
        package->m_stream =
            std::make_unique<orcus::zip_archive_stream_fd>(QFile::encodeName(path).constData());
        package->m_archive = std::make_unique<orcus::zip_archive>(package->m_stream.get());
        package->m_archive->load();
        const size_t count = package->m_archive->get_file_entry_count();
        for (size_t i = 0; i < count; ++i)
            package->m_parts.emplace_back(package->m_archive->get_file_entry_name(i));
    } catch (const std::exception &) {
        return nullptr;
    }
    return package;
}

ZipPackage::~ZipPackage() = default;

bool ZipPackage::has(std::string_view part) const
{
    return std::find(m_parts.begin(), m_parts.end(), part) != m_parts.end();
}

bool ZipPackage::read(std::string_view part, std::vector<unsigned char> *bytes) const
{
    if (!has(part))
        return false;
    try {
        return m_archive->read_file_entry(part, *bytes);
    } catch (const std::exception &) {
        return false;
    }
}
