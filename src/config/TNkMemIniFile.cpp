#include "config/TNkMemIniFile.h"

#include "config/ENkMemIniFileIOError.h"
#include "config/ENkMemIniFileInvalidName.h"
#include "config/ENkMemIniFileInvalidSection.h"
#include "config/ENkMemIniFileInvalidValue.h"
#include "config/NkIniText.h"
#include "platform/Cp932Codec.h"
#include "platform/SafeFile.h"

#include <QFile>
#include <QFileInfo>

#include <memory>

namespace {

bool isComment(const QString& trimmedLine)
{
    return trimmedLine.startsWith(u';');
}

// A line a caller hands in becomes a comment line; a line break inside it would otherwise
// turn the rest into a key line of the file.
QStringList asCommentLines(const QStringList& list)
{
    QStringList lines;
    for (const QString& entry : list) {
        QString text = entry;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        const QStringList parts = text.split(u'\n');
        for (const QString& part : parts)
            lines.append(isComment(NkIniText::trim(part)) ? part : u';' + part);
    }
    return lines;
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

void checkSection(const QString& trimmedSection)
{
    if (trimmedSection.isEmpty())
        throw ENkMemIniFileInvalidSection(QStringLiteral("空のセクション名"));
}

void checkValue(const QString& value)
{
    if (value.contains(u'\r'))
        throw ENkMemIniFileInvalidValue(QStringLiteral("値が CR を含む"));
    if (value.contains(u'\n'))
        throw ENkMemIniFileInvalidValue(QStringLiteral("値が LF を含む"));
}

void checkName(const QString& trimmedName)
{
    if (trimmedName.isEmpty())
        throw ENkMemIniFileInvalidName(QStringLiteral("空の名前"));
    if (trimmedName.contains(u'='))
        throw ENkMemIniFileInvalidName(QStringLiteral("名前が \"=\" を含んでいる"));
    if (trimmedName.startsWith(u';'))
        throw ENkMemIniFileInvalidName(QStringLiteral("名前の先頭が \";\""));
}

} // namespace

TNkMemIniFile::TNkMemIniFile()
{
    m_sections.append(QString(), std::make_unique<TNkMemIniSection>());
}

TNkMemIniFile::TNkMemIniFile(const QString& fileName) : TNkMemIniFile()
{
    m_fileName = fileName;
    if (!QFileInfo::exists(fileName))
        return;
    if (QFileInfo(fileName).isDir())
        throw ENkMemIniFileIOError(fileName + QStringLiteral(": is a folder"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ENkMemIniFileIOError(fileName + QStringLiteral(": ") + file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ENkMemIniFileIOError(fileName + QStringLiteral(": ") + file.errorString());
    load(Cp932Codec::decodeWithBom(bytes));
}

void TNkMemIniFile::load(const QString& text)
{
    QStringList pending;
    TNkMemIniSection* current = nullptr;
    for (const QString& line : splitLines(text)) {
        const QString trimmed = NkIniText::trim(line);
        if (trimmed.isEmpty())
            continue;
        if (isComment(trimmed)) {
            pending.append(line);
            continue;
        }
        if (trimmed.size() >= 2 && trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            const QString name = NkIniText::trim(QStringView(trimmed).mid(1, trimmed.size() - 2));
            if (name.isEmpty())
                continue;
            current = &sectionForWrite(name);
            if (!pending.isEmpty()) {
                current->comment = pending;
                pending.clear();
            }
            continue;
        }
        if (current == nullptr)
            continue;
        const QString name = NkIniText::nameOf(trimmed);
        const qsizetype equals = trimmed.indexOf(u'=');
        if (name.isEmpty())
            continue;
        const QString value =
            equals < 0 ? QString() : NkIniText::unquote(NkIniText::trim(QStringView(trimmed).mid(equals + 1)));
        const int index = current->keys.SetValuesByName(name, value);
        if (!pending.isEmpty()) {
            current->keys.setObject(index, std::make_unique<TNkComment>(TNkComment{pending}));
            pending.clear();
        }
    }
    m_sections.object(0)->comment = pending;
}

// The unnamed first section only carries the comments after the last key; no operation reaches it by name.
const TNkMemIniSection* TNkMemIniFile::findSection(const QString& trimmedName) const
{
    if (trimmedName.isEmpty())
        return nullptr;
    const int index = m_sections.indexOf(trimmedName);
    return index < 0 ? nullptr : m_sections.object(index);
}

TNkMemIniSection* TNkMemIniFile::findSection(const QString& trimmedName)
{
    if (trimmedName.isEmpty())
        return nullptr;
    const int index = m_sections.indexOf(trimmedName);
    return index < 0 ? nullptr : m_sections.object(index);
}

TNkMemIniSection& TNkMemIniFile::sectionForWrite(const QString& trimmedName)
{
    if (TNkMemIniSection* section = findSection(trimmedName))
        return *section;
    const int index = m_sections.append(trimmedName, std::make_unique<TNkMemIniSection>());
    return *m_sections.object(index);
}

QString TNkMemIniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const TNkMemIniSection* found = findSection(NkIniText::trim(section));
    if (found == nullptr)
        return defaultValue;
    const int index = found->keys.indexOf(NkIniText::trim(key));
    if (index < 0)
        return defaultValue;
    return NkIniText::unquote(found->keys.value(index));
}

int TNkMemIniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const
{
    return NkIniText::toInt32(ReadString(section, key, QString())).value_or(defaultValue);
}

bool TNkMemIniFile::ValueExists(const QString& section, const QString& key) const
{
    const TNkMemIniSection* found = findSection(NkIniText::trim(section));
    return found != nullptr && found->keys.indexOf(NkIniText::trim(key)) >= 0;
}

void TNkMemIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    checkSection(NkIniText::trim(section));
    checkValue(value);
    checkName(NkIniText::trim(key));
    setValue(section, key, value);
}

void TNkMemIniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    checkSection(NkIniText::trim(section));
    checkName(NkIniText::trim(key));
    setValue(section, key, QString::number(value));
}

void TNkMemIniFile::WriteCheckInteger(const QString& section, const QString& key, bool check, int value)
{
    checkSection(NkIniText::trim(section));
    checkName(NkIniText::trim(key));
    if (check && !ValueExists(section, key))
        return;
    setValue(section, key, QString::number(value));
}

void TNkMemIniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    sectionForWrite(NkIniText::trim(section)).keys.SetValuesByName(key, value);
}

void TNkMemIniFile::ReadComment(const QString& section, const QString& key, QStringList& list) const
{
    list.clear();
    const TNkMemIniSection* found = findSection(NkIniText::trim(section));
    if (found == nullptr)
        return;
    const int index = found->keys.indexOf(NkIniText::trim(key));
    if (index >= 0 && found->keys.object(index) != nullptr)
        list = found->keys.object(index)->comment;
}

void TNkMemIniFile::WriteComment(const QString& section, const QString& key, const QStringList& list)
{
    TNkMemIniSection* found = findSection(NkIniText::trim(section));
    if (found == nullptr)
        return;
    const int index = found->keys.indexOf(NkIniText::trim(key));
    if (index >= 0)
        found->keys.setObject(index, std::make_unique<TNkComment>(TNkComment{asCommentLines(list)}));
}

QStringList TNkMemIniFile::sectionComment(const QString& section) const
{
    const TNkMemIniSection* found = findSection(NkIniText::trim(section));
    return found == nullptr ? QStringList() : found->comment;
}

void TNkMemIniFile::setSectionComment(const QString& section, const QStringList& list)
{
    if (TNkMemIniSection* found = findSection(NkIniText::trim(section)))
        found->comment = asCommentLines(list);
}

QByteArray TNkMemIniFile::toBytes() const
{
    QStringList lines;
    for (int s = 1; s < m_sections.count(); ++s) {
        const TNkMemIniSection& section = *m_sections.object(s);
        lines += section.comment;
        lines.append(u'[' + m_sections.string(s) + u']');
        lines.append(QString());
        for (int k = 0; k < section.keys.count(); ++k) {
            if (const TNkComment* comment = section.keys.object(k))
                lines += comment->comment;
            lines.append(section.keys.string(k));
        }
        lines.append(QString());
    }
    lines += m_sections.object(0)->comment;
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return Cp932Codec::encode(text);
}

void TNkMemIniFile::UpdateFile() const
{
    const QByteArray bytes = toBytes();
    QString error;
    if (!SafeFile::replace(
            m_fileName, [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); }, &error))
        throw ENkMemIniFileIOError(m_fileName + QStringLiteral(": ") + error);
}
