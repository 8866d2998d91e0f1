// Arbitrary bytes as options.ini: load and save through the settings store, then read and write the
// settings catalogue. Beyond not crashing, a save must be stable: what was saved loads and saves to the
// same bytes (after the first round whenever the text did not survive CP932 unchanged).
#include "config/IniFileHost.h"
#include "config/SettingsCatalogue.h"
#include "config/TNkMemIniFile.h"
#include "platform/Cp932Codec.h"
#include "platform/ManualClock.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

class QuietHost final : public IniFileHost
{
public:
    void ComponentInit(int) override {}
    void applyWindowGeometry(const WindowGeometry&) override {}
    WindowGeometry currentWindowGeometry() const override { return WindowGeometry{1, 2, 640, 480, false}; }
    void Read_PC_file() override {}
    void emptyEventLog() override {}
    void Read_DAY_file() override {}
    void Write_PC_file() override {}
    void Write_DAY_file() override {}
};

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

QByteArray resaved(const QString& path, const QByteArray& bytes)
{
    put(path, bytes);
    return TNkMemIniFile(path).toBytes();
}

SettingsRecord readBack(const IniFileContext& context, IniFileHost& host)
{
    SettingsRecord settings;
    ReadIniFile(settings, context, host);
    WriteIniFile(settings, context, host);
    return settings;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("options.ini"));
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const QString text = Cp932Codec::decodeWithBom(input);
    const bool lossless = Cp932Codec::decode(Cp932Codec::encode(text)) == text;
    const QByteArray first = resaved(path, input);
    const QByteArray second = resaved(path, first);
    if (lossless && second != first)
        std::abort();
    if (resaved(path, second) != second)
        std::abort();

    // The catalogue: after one write-back, reading and writing again changes nothing.
    put(path, input);
    const ManualClock clock(45000.5);
    const IniFileContext context{folder.path(), folder.path(), &clock};
    QuietHost host;
    readBack(context, host);
    const SettingsRecord settled = readBack(context, host);
    const QByteArray settledBytes = TNkMemIniFile(path).toBytes();
    if (readBack(context, host) != settled || TNkMemIniFile(path).toBytes() != settledBytes)
        std::abort();
    return 0;
}
