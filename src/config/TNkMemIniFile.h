#pragma once

#include "config/TNkHashedStringList.h"
#include "config/TNkMemIniSection.h"

#include <QString>
#include <QStringList>

// The whole settings file in memory, in file order, with the comment lines above every section
// and key, so that a save keeps the user's comments and the keys the program does not know.
// Section and key names are trimmed and compared with ASCII letters folded.
//
// Write operations check their arguments first and throw ENkMemIniFileInvalidSection,
// ENkMemIniFileInvalidValue or ENkMemIniFileInvalidName before changing anything.
// File errors throw ENkMemIniFileIOError: a file that exists but cannot be read (constructor),
// or a save that could not replace the file (UpdateFile; the old file stays as it was).
class TNkMemIniFile final
{
public:
    // An empty store that belongs to no file.
    TNkMemIniFile();
    // Loads the file when it exists; a missing file gives an empty store.
    explicit TNkMemIniFile(const QString& fileName);

    const QString& fileName() const { return m_fileName; }

    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    bool ValueExists(const QString& section, const QString& key) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    // With check set, only a key that is already in the section is written.
    void WriteCheckInteger(const QString& section, const QString& key, bool check, int value);

    // Comments of keys; an empty key name never matches, since such items are not indexed.
    void ReadComment(const QString& section, const QString& key, QStringList& list) const;
    void WriteComment(const QString& section, const QString& key, const QStringList& list);

    // The comment lines above a section's header (empty when the section does not exist).
    QStringList sectionComment(const QString& section) const;
    void setSectionComment(const QString& section, const QStringList& list);

    void UpdateFile() const;

    // The file's bytes as UpdateFile writes them: CP932, CR LF after every line, no byte-order mark.
    QByteArray toBytes() const;

private:
    void load(const QString& text);
    const TNkMemIniSection* findSection(const QString& trimmedName) const;
    TNkMemIniSection* findSection(const QString& trimmedName);
    TNkMemIniSection& sectionForWrite(const QString& trimmedName);
    void setValue(const QString& section, const QString& key, const QString& value);

    QString m_fileName;
    TNkHashedStringList<TNkMemIniSection> m_sections{false};
};
