#include "reports/XlsxPackage.h"

#include <zip.h>

#include <vector>

namespace {

// No part of a template comes near this; a damaged size field must not make the report allocate it.
constexpr zip_uint64_t kLargestPart = 64u * 1024u * 1024u;

std::string folderOf(const std::string& part)
{
    const std::size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

} // namespace

XlsxPackage::~XlsxPackage()
{
    if (m_archive)
        zip_discard(m_archive);
}

bool XlsxPackage::open(const QByteArray& bytes, QString* error)
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source =
        zip_source_buffer_create(bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &zipError);
    if (source)
        m_archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zipError);
    if (!m_archive) {
        if (error)
            *error = QString::fromUtf8(zip_error_strerror(&zipError));
        if (source)
            zip_source_free(source);
    }
    zip_error_fini(&zipError);
    return m_archive != nullptr;
}

long long XlsxPackage::entryCount() const
{
    return zip_get_num_entries(m_archive, 0);
}

std::string XlsxPackage::entryName(long long index) const
{
    const char* name = zip_get_name(m_archive, static_cast<zip_uint64_t>(index), ZIP_FL_ENC_RAW);
    return name ? std::string(name) : std::string();
}

std::optional<std::string> XlsxPackage::read(const std::string& name) const
{
    zip_stat_t stat;
    if (zip_stat(m_archive, name.c_str(), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) || stat.size > kLargestPart)
        return std::nullopt;
    zip_file_t* file = zip_fopen(m_archive, name.c_str(), 0);
    if (!file)
        return std::nullopt;
    std::string content(static_cast<std::size_t>(stat.size), '\0');
    const zip_int64_t read = zip_fread(file, content.data(), stat.size);
    zip_fclose(file);
    if (read != static_cast<zip_int64_t>(stat.size))
        return std::nullopt;
    return content;
}

std::string XlsxPackage::resolve(const std::string& sourcePart, const std::string& target)
{
    const std::string joined =
        !target.empty() && target.front() == '/' ? target.substr(1) : folderOf(sourcePart) + target;
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t slash = joined.find('/', start);
        if (slash == std::string::npos)
            slash = joined.size();
        const std::string segment = joined.substr(start, slash - start);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = slash + 1;
    }
    std::string path;
    for (const std::string& segment : segments)
        path += (path.empty() ? "" : "/") + segment;
    return path;
}

std::string XlsxPackage::relationshipsOf(const std::string& part)
{
    const std::string folder = folderOf(part);
    return folder + "_rels/" + part.substr(folder.size()) + ".rels";
}
