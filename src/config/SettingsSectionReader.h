#pragma once

#include "config/SettingKey.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class TNkMemIniFile;

// Reads the keys of one section in their value forms; a missing key gives the fallback. When a comment
// map is given, the comment lines above every key that keeps them are recorded in it.
class SettingsSectionReader final
{
public:
    SettingsSectionReader(const TNkMemIniFile& ini, const QString& section, QMap<QString, QStringList>* comments);

    QString text(const SettingKey& key, const QString& fallback);
    // A key whose name is built at run time; its comment is not carried.
    QString text(const QString& name, const QString& fallback);
    int integer(const SettingKey& key, int fallback);
    // A value with fewer than three numbers gives the fallback.
    quint32 colour(const SettingKey& key, quint32 fallback);
    // "YES" in any letter case.
    bool yesNo(const SettingKey& key, bool fallback);
    // Only the exact text "YES".
    bool yesNoExact(const SettingKey& key, bool fallback);
    // "ON" in any letter case.
    bool onOff(const SettingKey& key, bool fallback);
    // A time of day "H:mm" or "H:mm:ss" as a day fraction; other texts give the fallback.
    double timeOfDay(const SettingKey& key, double fallback);

private:
    void recordComment(const SettingKey& key);

    const TNkMemIniFile& m_ini;
    QString m_section;
    QMap<QString, QStringList>* m_comments;
};
