#include "config/SettingsSectionReader.h"

#include "config/SettingsColourText.h"
#include "config/TNkMemIniFile.h"
#include "platform/DayNumber.h"

namespace {

const QString kYes = QStringLiteral("YES");
const QString kNo = QStringLiteral("NO");

} // namespace

SettingsSectionReader::SettingsSectionReader(const TNkMemIniFile& ini, const QString& section,
                                             QMap<QString, QStringList>* comments)
    : m_ini(ini), m_section(section), m_comments(comments)
{
}

void SettingsSectionReader::recordComment(const SettingKey& key)
{
    if (m_comments == nullptr || !key.keepsComment)
        return;
    QStringList lines;
    m_ini.ReadComment(m_section, key.name(), lines);
    m_comments->insert(key.name(), lines);
}

QString SettingsSectionReader::text(const SettingKey& key, const QString& fallback)
{
    recordComment(key);
    return m_ini.ReadString(m_section, key.name(), fallback);
}

QString SettingsSectionReader::text(const QString& name, const QString& fallback)
{
    return m_ini.ReadString(m_section, name, fallback);
}

int SettingsSectionReader::integer(const SettingKey& key, int fallback)
{
    recordComment(key);
    return m_ini.ReadInteger(m_section, key.name(), fallback);
}

quint32 SettingsSectionReader::colour(const SettingKey& key, quint32 fallback)
{
    return SettingsColourText::parse(text(key, SettingsColourText::format(fallback))).value_or(fallback);
}

bool SettingsSectionReader::yesNo(const SettingKey& key, bool fallback)
{
    return text(key, fallback ? kYes : kNo).compare(kYes, Qt::CaseInsensitive) == 0;
}

bool SettingsSectionReader::yesNoExact(const SettingKey& key, bool fallback)
{
    return text(key, fallback ? kYes : kNo) == kYes;
}

bool SettingsSectionReader::onOff(const SettingKey& key, bool fallback)
{
    return text(key, fallback ? QStringLiteral("ON") : QStringLiteral("OFF"))
               .compare(QStringLiteral("ON"), Qt::CaseInsensitive) == 0;
}

double SettingsSectionReader::timeOfDay(const SettingKey& key, double fallback)
{
    return DayNumber::parseTime(text(key, QString())).value_or(fallback);
}
