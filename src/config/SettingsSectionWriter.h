#pragma once

#include "config/SettingKey.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class TNkMemIniFile;

// Writes the keys of one section in their value forms. Just before a key that keeps its comment is
// written, the comment lines recorded for it at start-up are attached again.
class SettingsSectionWriter final
{
public:
    // comments may be null: nothing is attached then.
    SettingsSectionWriter(TNkMemIniFile& ini, const QString& section, const QMap<QString, QStringList>* comments);

    void text(const SettingKey& key, const QString& value);
    // A key whose name is built at run time; it carries no comment.
    void text(const QString& name, const QString& value);
    void integer(const SettingKey& key, int value);
    // Only a key that is already in the file is written.
    void integerIfPresent(const SettingKey& key, int value);
    void textIfPresent(const SettingKey& key, const QString& value);
    void colour(const SettingKey& key, quint32 value);
    void yesNo(const SettingKey& key, bool value);
    void onOff(const SettingKey& key, bool value);

private:
    void attachComment(const SettingKey& key);

    TNkMemIniFile& m_ini;
    QString m_section;
    const QMap<QString, QStringList>* m_comments;
};
