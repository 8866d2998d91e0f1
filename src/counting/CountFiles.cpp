#include "counting/CountFiles.h"

#include "counting/CountDayFile.h"
#include "counting/CountEventFile.h"
#include "counting/CountModel.h"
#include "platform/Clock.h"
#include "platform/DayNumber.h"
#include "platform/PathRules.h"
#include "platform/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int kMaxAsideCopies = 100;

} // namespace

CountFiles::CountFiles(CountModel& model, const Clock& clock, const QString& dataFolder, QObject* parent)
    : QObject(parent), m_model(model), m_clock(clock),
      m_dataFolder(dataFolder), m_eventFile{QLatin1String(kEventFileName)}, m_dayFile{QLatin1String(kDayFileName)},
      m_backUpTimer(new QTimer(this)), m_log([](const QString& text) { qWarning("%s", qUtf8Printable(text)); })
{
    m_backUpTimer->setObjectName(QStringLiteral("BackUpTimer"));
    connect(m_backUpTimer, &QTimer::timeout, this, &CountFiles::BackUpTimerTimer);
    m_model.setBaseChangedHandler([this](int) { Write_PC_file(); });
}

CountFiles::~CountFiles()
{
    m_model.setBaseChangedHandler({});
}

void CountFiles::setLogSink(LogSink sink)
{
    m_log = std::move(sink);
}

QString CountFiles::eventFilePath() const
{
    return pathOf(m_eventFile);
}

QString CountFiles::dayFilePath() const
{
    return pathOf(m_dayFile);
}

QString CountFiles::pathOf(const FileState& file) const
{
    return PathRules::join(m_dataFolder, file.name);
}

void CountFiles::log(const QString& text) const
{
    if (m_log)
        m_log(text);
}

double CountFiles::lastSaveTime() const
{
    const QFileInfo info(eventFilePath());
    if (!info.exists())
        return m_clock.now();
    return DayNumber::fromDateTime(info.lastModified());
}

CountFileLoad CountFiles::Read_PC_file()
{
    return load(m_eventFile, [this](QIODevice& device) { return CountEventFile::read(device, m_model); });
}

void CountFiles::emptyEventLog()
{
    m_staleEventLog = true;
}

CountFileLoad CountFiles::Read_DAY_file()
{
    const CountFileLoad result =
        load(m_dayFile, [this](QIODevice& device) { return CountDayFile::read(device, m_model); });
    m_model.rebuildLoggedDays();
    if (m_staleEventLog) {
        m_staleEventLog = false;
        if (m_model.eventCount() > 0) {
            m_model.setEventCount(0);
            Write_DAY_file();
            Write_PC_file();
        }
    }
    return result;
}

void CountFiles::loadAtStartUp()
{
    const double lastSave = lastSaveTime();
    Read_PC_file();
    if (std::floor(m_clock.now()) != std::floor(lastSave))
        emptyEventLog();
    Read_DAY_file();
}

bool CountFiles::Write_PC_file()
{
    return save(m_eventFile, [this](QIODevice& device) { return CountEventFile::write(m_model, device); });
}

bool CountFiles::Write_DAY_file()
{
    for (int g = 0; g < CountModel::kGates; ++g)
        m_model.sortDayRecords(g);
    return save(m_dayFile, [this](QIODevice& device) { return CountDayFile::write(m_model, device); });
}

void CountFiles::startBackUpTimer(int minutes)
{
    m_backUpTimer->setInterval(std::clamp(minutes, 1, 120) * kBackUpUnitMs);
    m_backUpTimer->start();
}

void CountFiles::S1Click()
{
    Write_PC_file();
    Write_DAY_file();
}

void CountFiles::BackUpTimerTimer()
{
    S1Click();
}

CountFileLoad CountFiles::load(FileState& file, const std::function<CountFileLoad(QIODevice&)>& reader)
{
    const QString path = pathOf(file);
    QFile device(path);
    if (!device.exists())
        return {};
    CountFileLoad result;
    if (device.open(QIODevice::ReadOnly))
        result = reader(device);
    else
        result = CountFileLoad::damaged(QStringLiteral("cannot be opened: %1").arg(device.errorString()));
    device.close();
    if (result.outcome == CountFileLoad::Outcome::Loaded)
        return result;

    log(QStringLiteral("%1 not loaded (%2)").arg(path, result.detail));
    file.keepAside = true;
    copyAside(file);
    return result;
}

// Keeps the refused file under a free ".bad" name before any save may replace it.
bool CountFiles::copyAside(FileState& file)
{
    if (!file.keepAside)
        return true;
    const QString path = pathOf(file);
    if (!QFile::exists(path)) {
        file.keepAside = false;
        return true;
    }
    for (int n = 1; n <= kMaxAsideCopies; ++n) {
        const QString aside = path + QStringLiteral(".bad") + (n == 1 ? QString() : QString::number(n));
        if (QFile::exists(aside))
            continue;
        if (QFile::copy(path, aside)) {
            log(QStringLiteral("%1 kept as %2").arg(path, aside));
            file.keepAside = false;
            return true;
        }
        break;
    }
    log(QStringLiteral("%1 could not be kept aside; it is not overwritten").arg(path));
    return false;
}

bool CountFiles::save(FileState& file, const std::function<bool(QIODevice&)>& writer)
{
    if (!copyAside(file))
        return false;
    const QString path = pathOf(file);
    QString error;
    if (SafeFile::replace(path, writer, &error))
        return true;
    log(QStringLiteral("%1 not saved: %2").arg(path, error));
    return false;
}
