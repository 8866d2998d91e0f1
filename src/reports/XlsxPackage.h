#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>

struct zip;

// A workbook file read from memory: its parts by name. The bytes must outlive the package.
class XlsxPackage final
{
public:
    XlsxPackage() = default;
    ~XlsxPackage();
    XlsxPackage(const XlsxPackage&) = delete;
    XlsxPackage& operator=(const XlsxPackage&) = delete;

    // False, with error set, when the bytes are no zip archive.
    bool open(const QByteArray& bytes, QString* error);

    struct zip* archive() const { return m_archive; }
    long long entryCount() const;
    std::string entryName(long long index) const;
    // The part's content; nothing when it is missing, damaged or larger than any template part can be.
    std::optional<std::string> read(const std::string& name) const;

    // A relationship target resolved against the folder of the part that holds the relationship.
    static std::string resolve(const std::string& sourcePart, const std::string& target);
    // "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
    static std::string relationshipsOf(const std::string& part);

private:
    struct zip* m_archive = nullptr;
};
