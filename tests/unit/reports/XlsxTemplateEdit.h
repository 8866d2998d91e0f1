#pragma once

#include <QByteArray>

#include <zip.h>

#include <map>
#include <optional>
#include <string>

// A copy of a workbook with some parts replaced (a value), removed (nothing) or added.
inline QByteArray withParts(const QByteArray& workbook,
                            const std::map<std::string, std::optional<std::string>>& changes)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* in =
        zip_source_buffer_create(workbook.constData(), static_cast<zip_uint64_t>(workbook.size()), 0, &error);
    zip_t* source = zip_open_from_source(in, ZIP_RDONLY, &error);
    zip_source_t* out = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* target = zip_open_from_source(out, ZIP_TRUNCATE, &error);
    zip_source_keep(out);
    for (zip_int64_t k = 0; k < zip_get_num_entries(source, 0); ++k) {
        const std::string name = zip_get_name(source, static_cast<zip_uint64_t>(k), 0);
        if (changes.count(name))
            continue;
        zip_file_add(target, name.c_str(), zip_source_zip(target, source, static_cast<zip_uint64_t>(k), 0, 0, -1), 0);
    }
    for (const auto& [name, content] : changes)
        if (content)
            zip_file_add(target, name.c_str(), zip_source_buffer(target, content->data(), content->size(), 0), 0);
    zip_close(target);
    zip_discard(source);
    QByteArray bytes;
    zip_source_open(out);
    char chunk[4096];
    zip_int64_t n = 0;
    while ((n = zip_source_read(out, chunk, sizeof chunk)) > 0)
        bytes.append(chunk, n);
    zip_source_close(out);
    zip_source_free(out);
    zip_error_fini(&error);
    return bytes;
}

// The text of one part of a workbook.
inline std::string partText(const QByteArray& workbook, const std::string& name)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* in =
        zip_source_buffer_create(workbook.constData(), static_cast<zip_uint64_t>(workbook.size()), 0, &error);
    zip_t* archive = zip_open_from_source(in, ZIP_RDONLY, &error);
    std::string text;
    zip_stat_t stat;
    if (archive && zip_stat(archive, name.c_str(), 0, &stat) == 0) {
        text.resize(stat.size);
        zip_file_t* file = zip_fopen(archive, name.c_str(), 0);
        zip_fread(file, text.data(), stat.size);
        zip_fclose(file);
    }
    if (archive)
        zip_discard(archive);
    zip_error_fini(&error);
    return text;
}

inline void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}
