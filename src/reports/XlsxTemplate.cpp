#include "reports/XlsxTemplate.h"

#include "platform/SafeFile.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QLoggingCategory>

#include <array>

namespace XlsxTemplate {

namespace {

Q_LOGGING_CATEGORY(lcTemplate, "wardale.reports.template")

// Modification days of the built-in templates of earlier versions: such a file was never edited.
bool isOutdatedCopy(const QFileInfo& info)
{
    static const std::array<QDate, 2> kOutdated = {QDate(2015, 5, 19), QDate(2020, 11, 5)};
    const QDate modified = info.lastModified().date();
    for (const QDate& day : kOutdated)
        if (modified == day)
            return true;
    return false;
}

bool isWorkbookName(const QFileInfo& info)
{
    return info.suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0;
}

} // namespace

QByteArray builtIn()
{
    QFile resource(QStringLiteral(":/XLSXF/XLSXDT"));
    return resource.open(QIODevice::ReadOnly) ? resource.readAll() : QByteArray();
}

Loaded load(const QString& templatePath)
{
    Loaded loaded;
    QFileInfo info(templatePath);
    if (info.isFile() && isWorkbookName(info)) {
        if (isOutdatedCopy(info)) {
            if (!QFile::remove(templatePath))
                qCWarning(lcTemplate) << "cannot remove the outdated template" << templatePath;
        } else {
            QFile file(templatePath);
            if (!file.open(QIODevice::ReadOnly)) {
                loaded.error = file.errorString();
                return loaded;
            }
            loaded.bytes = file.readAll();
            loaded.fromUser = true;
            return loaded;
        }
    }
    loaded.bytes = builtIn();
    info.refresh();
    if (!info.exists()) {
        QString error;
        const auto write = [&](QIODevice& file) { return file.write(loaded.bytes) == loaded.bytes.size(); };
        if (!SafeFile::replace(templatePath, write, &error))
            qCWarning(lcTemplate) << "cannot write the built-in template to" << templatePath << ":" << error;
    }
    return loaded;
}

} // namespace XlsxTemplate
