#include "config/TNkMemIniFile.h"
#include "config/ENkMemIniFileIOError.h"
#include "config/ENkMemIniFileInvalidName.h"
#include "config/ENkMemIniFileInvalidSection.h"
#include "config/ENkMemIniFileInvalidValue.h"
#include "platform/Cp932Codec.h"
#include "support/TempFolder.h"

#include <QDir>

#include <functional>
#include <typeinfo>

#include <gtest/gtest.h>

namespace {

QByteArray cp932(const char* utf8)
{
    return Cp932Codec::encode(QString::fromUtf8(utf8));
}

QString u8(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QByteArray utf16le(const char* utf8)
{
    QByteArray bytes;
    for (const QChar c : QString::fromUtf8(utf8)) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

// Loads bytes as a settings file and returns what a save writes.
QByteArray roundTrip(const QByteArray& input)
{
    TempFolder temp;
    temp.write(QStringLiteral("options.ini"), input);
    TNkMemIniFile ini(temp.file(QStringLiteral("options.ini")));
    ini.UpdateFile();
    return temp.read(QStringLiteral("options.ini"));
}

TNkMemIniFile loaded(const TempFolder& temp, const QByteArray& bytes)
{
    temp.write(QStringLiteral("options.ini"), bytes);
    return TNkMemIniFile(temp.file(QStringLiteral("options.ini")));
}

} // namespace

TEST(TNkMemIniFile, SavesWhatItLoadedInItsOwnLayout)
{
    struct Case
    {
        const char* name;
        QByteArray input;
        QByteArray output;
    };
    const Case cases[] = {
        {"comments attach to the next header or key, the rest to the end",
         cp932(";a\r\n[S]\r\n;b\r\nk = \"x y\"\r\n;c\r\n"), cp932(";a\r\n[S]\r\n\r\n;b\r\nk=\"x y\"\r\n\r\n;c\r\n")},
        {"quotes are dropped where not needed", cp932("[S]\r\nk=\"ab\"\r\n"), cp932("[S]\r\n\r\nk=ab\r\n\r\n")},
        {"a value with text after its closing quote keeps all of it", cp932("[S]\r\nk=\"ab\"cd\r\n"),
         cp932("[S]\r\n\r\nk=\"\"\"ab\"\"cd\"\r\n\r\n")},
        {"a header differing in ASCII case continues the section", cp932("[S]\r\na=1\r\n[X]\r\n[s]\r\nb=2\r\n"),
         cp932("[S]\r\n\r\na=1\r\nb=2\r\n\r\n[X]\r\n\r\n\r\n")},
        {"full-width letters do not fold", cp932("[ＳＳ]\r\na=1\r\n[ss]\r\nb=2\r\n[SS]\r\nc=3\r\n"),
         cp932("[ＳＳ]\r\n\r\na=1\r\n\r\n[ss]\r\n\r\nb=2\r\nc=3\r\n\r\n")},
        {"keys before the first header and blank lines vanish", cp932("x=1\r\n\r\n[S]\r\n\r\n\r\nk=v\r\n"),
         cp932("[S]\r\n\r\nk=v\r\n\r\n")},
        {"a repeated key keeps its first place and its last value", cp932("[S]\r\na=1\r\nb=2\r\na=3\r\n"),
         cp932("[S]\r\n\r\na=3\r\nb=2\r\n\r\n")},
        {"comment lines are kept as written", cp932("  ;x \r\n[S]\r\n\t; y\r\nk\r\n"),
         cp932("  ;x \r\n[S]\r\n\r\n\t; y\r\nk=\r\n\r\n")},
        {"an empty header changes nothing and keys without a name are skipped",
         cp932("[S]\r\n;c\r\n[ ]\r\n= v\r\nk=1\r\n"), cp932("[S]\r\n\r\n;c\r\nk=1\r\n\r\n")},
        {"LF and CR line ends become CR LF", cp932("[S]\na=1\rb=2"), cp932("[S]\r\n\r\na=1\r\nb=2\r\n\r\n")},
        {"UTF-8 with a byte-order mark is saved as CP932",
         QByteArray("\xEF\xBB\xBF") + u8("[基本設定]\r\n名称=正面 玄関\r\n").toUtf8(),
         cp932("[基本設定]\r\n\r\n名称=\"正面 玄関\"\r\n\r\n")},
        {"UTF-16 little-endian", QByteArray("\xFF\xFE", 2) + utf16le("[基本設定]\r\nk=値\r\n"),
         cp932("[基本設定]\r\n\r\nk=値\r\n\r\n")},
        {"a key whose line would read as a header keeps its value quoted", cp932("[S]\r\n[a=\"b]\"\r\n"),
         cp932("[S]\r\n\r\n[a=\"b]\"\r\n\r\n")},
        {"an empty file stays empty", QByteArray(), QByteArray()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(roundTrip(c.input), c.output) << c.name;
}

TEST(TNkMemIniFile, ReadsUtf16BigEndian)
{
    TempFolder temp;
    const QString text = u8("[基本設定]\r\nk=値\r\n");
    QByteArray bytes("\xFE\xFF", 2);
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() >> 8));
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
    }
    const TNkMemIniFile ini = loaded(temp, bytes);
    EXPECT_EQ(ini.ReadString(u8("基本設定"), QStringLiteral("k"), QString()), u8("値"));
}

TEST(TNkMemIniFile, ReadsValuesUnquotedAndDefaultsWhenMissing)
{
    TempFolder temp;
    const TNkMemIniFile ini =
        loaded(temp, cp932("[S]\r\nk = \"x y\" \r\nhex=0x1F\r\nbad=12abc\r\nempty=\r\ndollar=$10\r\n"));
    EXPECT_EQ(ini.ReadString(QStringLiteral(" s "), QStringLiteral(" K "), QString()), QStringLiteral("x y"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("T"), QStringLiteral("k"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("none"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("hex"), -1), 31);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("dollar"), -1), 16);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("bad"), -1), -1);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("empty"), -1), -1);
    EXPECT_TRUE(ini.ValueExists(QStringLiteral("s"), QStringLiteral("EMPTY")));
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("S"), QStringLiteral("none")));
    EXPECT_FALSE(ini.ValueExists(QString(), QStringLiteral("k")));
}

TEST(TNkMemIniFile, RejectedWritesLeaveTheStoreUnchanged)
{
    using Write = std::function<void(TNkMemIniFile&)>;
    struct Case
    {
        const char* name;
        Write write;
        const char* message;
        const std::type_info& type;
    };
    const QString s = QStringLiteral("S");
    const QString fresh = QStringLiteral("New");
    const Case cases[] = {
        {"empty section",
         [](TNkMemIniFile& i) { i.WriteString(QStringLiteral(" "), QStringLiteral("k"), QStringLiteral("v")); },
         "空のセクション名", typeid(ENkMemIniFileInvalidSection)},
        {"empty section, integer", [](TNkMemIniFile& i) { i.WriteInteger(QString(), QStringLiteral("k"), 1); },
         "空のセクション名", typeid(ENkMemIniFileInvalidSection)},
        {"empty section, checked",
         [](TNkMemIniFile& i) { i.WriteCheckInteger(QString(), QStringLiteral("k"), true, 1); }, "空のセクション名",
         typeid(ENkMemIniFileInvalidSection)},
        {"CR", [&](TNkMemIniFile& i) { i.WriteString(fresh, QStringLiteral("k"), QStringLiteral("a\rb")); },
         "値が CR を含む", typeid(ENkMemIniFileInvalidValue)},
        {"LF", [&](TNkMemIniFile& i) { i.WriteString(s, QStringLiteral("k"), QStringLiteral("a\nb")); },
         "値が LF を含む", typeid(ENkMemIniFileInvalidValue)},
        {"empty name", [&](TNkMemIniFile& i) { i.WriteString(fresh, QStringLiteral("  "), QStringLiteral("v")); },
         "空の名前", typeid(ENkMemIniFileInvalidName)},
        {"empty name, integer", [&](TNkMemIniFile& i) { i.WriteInteger(fresh, QString(), 1); }, "空の名前",
         typeid(ENkMemIniFileInvalidName)},
        {"equals sign", [&](TNkMemIniFile& i) { i.WriteString(s, QStringLiteral("a=b"), QStringLiteral("v")); },
         "名前が \"=\" を含んでいる", typeid(ENkMemIniFileInvalidName)},
        {"equals sign, integer", [&](TNkMemIniFile& i) { i.WriteInteger(s, QStringLiteral("a=b"), 1); },
         "名前が \"=\" を含んでいる", typeid(ENkMemIniFileInvalidName)},
        {"semicolon", [&](TNkMemIniFile& i) { i.WriteString(fresh, QStringLiteral(" ;k"), QStringLiteral("v")); },
         "名前の先頭が \";\"", typeid(ENkMemIniFileInvalidName)},
    };
    TempFolder temp;
    TNkMemIniFile ini = loaded(temp, cp932(";top\r\n[S]\r\nk=1\r\n"));
    const QByteArray before = ini.toBytes();
    for (const Case& c : cases) {
        try {
            c.write(ini);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const ENkMemIniFileError& error) {
            EXPECT_EQ(error.message(), u8(c.message)) << c.name;
            EXPECT_EQ(typeid(error), c.type) << c.name;
        }
        EXPECT_EQ(ini.toBytes(), before) << c.name;
    }
}

TEST(TNkMemIniFile, WritesInPlaceOrAppendsAndChecksWhenAsked)
{
    TempFolder temp;
    TNkMemIniFile ini = loaded(temp, cp932("[S]\r\n;c\r\nA=1\r\nB=2\r\n"));
    ini.WriteString(QStringLiteral("s"), QStringLiteral("a"), QStringLiteral("x y"));
    ini.WriteInteger(QStringLiteral("S"), QStringLiteral("C"), -3);
    ini.WriteCheckInteger(QStringLiteral("S"), QStringLiteral("B"), true, 5);
    ini.WriteCheckInteger(QStringLiteral("S"), QStringLiteral("D"), true, 6);
    ini.WriteCheckInteger(QStringLiteral("T"), QStringLiteral("D"), true, 6);
    ini.WriteCheckInteger(QStringLiteral("S"), QStringLiteral("E"), false, 7);
    ini.WriteString(QStringLiteral("T"), QStringLiteral("k"), QString());
    EXPECT_EQ(ini.toBytes(), cp932("[S]\r\n\r\n;c\r\na=\"x y\"\r\nB=5\r\nC=-3\r\nE=7\r\n\r\n[T]\r\n\r\nk=\r\n\r\n"));
}

TEST(TNkMemIniFile, CommentsOfKeysAndSections)
{
    TempFolder temp;
    TNkMemIniFile ini = loaded(temp, cp932(";head\r\n[S]\r\n;one\r\nk=1\r\nm=2\r\n"));
    QStringList lines{QStringLiteral("stale")};
    ini.ReadComment(QStringLiteral("S"), QStringLiteral("K"), lines);
    EXPECT_EQ(lines, QStringList{QStringLiteral(";one")});
    ini.ReadComment(QStringLiteral("S"), QString(), lines);
    EXPECT_TRUE(lines.isEmpty());
    ini.ReadComment(QStringLiteral("S"), QStringLiteral("m"), lines);
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(ini.sectionComment(QStringLiteral("s")), QStringList{QStringLiteral(";head")});

    ini.WriteComment(QStringLiteral("S"), QString(), {QStringLiteral("lost")});
    ini.WriteComment(QStringLiteral("S"), QStringLiteral("none"), {QStringLiteral("lost")});
    ini.WriteComment(QStringLiteral("S"), QStringLiteral("m"),
                     {QStringLiteral("  ;kept"), QStringLiteral("new"), QStringLiteral("two\r\nlines")});
    ini.setSectionComment(QStringLiteral("S"), {QStringLiteral("head 2")});
    EXPECT_EQ(ini.toBytes(),
              cp932(";head 2\r\n[S]\r\n\r\n;one\r\nk=1\r\n  ;kept\r\n;new\r\n;two\r\n;lines\r\nm=2\r\n\r\n"));
}

TEST(TNkMemIniFile, MissingFileIsEmptyAndUnreadableFileIsAnError)
{
    TempFolder temp;
    const TNkMemIniFile missing(temp.file(QStringLiteral("none.ini")));
    EXPECT_EQ(missing.toBytes(), QByteArray());

    QDir(temp.path()).mkdir(QStringLiteral("folder.ini"));
    EXPECT_THROW(TNkMemIniFile(temp.file(QStringLiteral("folder.ini"))), ENkMemIniFileIOError);
}

TEST(TNkMemIniFile, FailedSaveKeepsTheOldFile)
{
    // The longest name the file system takes leaves no room for the save's temporary file.
    TempFolder temp;
    const QString name = QString(251, u'a') + QStringLiteral(".ini");
    temp.write(name, cp932("[S]\r\nk=old\r\n"));
    TNkMemIniFile longName(temp.file(name));
    longName.WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("new"));
    EXPECT_THROW(longName.UpdateFile(), ENkMemIniFileIOError);
    EXPECT_EQ(temp.read(name), cp932("[S]\r\nk=old\r\n"));
}
