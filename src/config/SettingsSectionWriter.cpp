#include "config/SettingsSectionWriter.h"

#include "config/SettingsColourText.h"
#include "config/TNkMemIniFile.h"

SettingsSectionWriter::SettingsSectionWriter(TNkMemIniFile& ini, const QString& section,
                                             const QMap<QString, QStringList>* comments)
    : m_ini(ini), m_section(section), m_comments(comments)
{
}

void SettingsSectionWriter::attachComment(const SettingKey& key)
{
    if (m_comments == nullptr || !key.keepsComment)
        return;
    const auto found = m_comments->constFind(key.name());
    if (found != m_comments->constEnd())
        m_ini.WriteComment(m_section, key.name(), found.value());
}

void SettingsSectionWriter::text(const SettingKey& key, const QString& value)
{
    attachComment(key);
    m_ini.WriteString(m_section, key.name(), value);
}

void SettingsSectionWriter::text(const QString& name, const QString& value)
{
    m_ini.WriteString(m_section, name, value);
}

void SettingsSectionWriter::integer(const SettingKey& key, int value)
{
    attachComment(key);
    m_ini.WriteInteger(m_section, key.name(), value);
}

void SettingsSectionWriter::integerIfPresent(const SettingKey& key, int value)
{
    attachComment(key);
    m_ini.WriteCheckInteger(m_section, key.name(), true, value);
}

void SettingsSectionWriter::textIfPresent(const SettingKey& key, const QString& value)
{
    if (m_ini.ValueExists(m_section, key.name()))
        text(key, value);
}

void SettingsSectionWriter::colour(const SettingKey& key, quint32 value)
{
    text(key, SettingsColourText::format(value));
}

void SettingsSectionWriter::yesNo(const SettingKey& key, bool value)
{
    text(key, value ? QStringLiteral("YES") : QStringLiteral("NO"));
}

void SettingsSectionWriter::onOff(const SettingKey& key, bool value)
{
    text(key, value ? QStringLiteral("ON") : QStringLiteral("OFF"));
}
