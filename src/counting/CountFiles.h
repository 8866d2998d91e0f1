#pragma once

#include "counting/CountFileLoad.h"

#include <QObject>
#include <QString>

#include <functional>

class Clock;
class CountModel;
class QIODevice;
class QTimer;

// The two count files of the data folder: the event file "pc_gate.dat" and the day file "pc_all.dat".
// Saves go through a temporary file and a rename, so a crash leaves the old file or the new one. A file
// that exists but cannot be taken is first copied aside ("<name>.bad", "<name>.bad2", ...); until that
// copy exists the next saves leave the file alone, so a failed load never turns into lost data.
// Whenever the model sets, clears or is about to lose a gate's base, the event file is saved at once: a
// gate's counters then recover every count made after the last save, whenever the program stops.
class CountFiles final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CountFiles)

public:
    static constexpr const char* kEventFileName = "pc_gate.dat";
    static constexpr const char* kDayFileName = "pc_all.dat";
    static constexpr int kBackUpUnitMs = 6000;

    using LogSink = std::function<void(const QString&)>;

    CountFiles(CountModel& model, const Clock& clock, const QString& dataFolder, QObject* parent = nullptr);
    ~CountFiles() override;

    // Where refused files and failed saves are reported; qWarning by default.
    void setLogSink(LogSink sink);

    QString eventFilePath() const;
    QString dayFilePath() const;

    // The modification time of the event file, or now when there is none: the last-save time of start-up.
    double lastSaveTime() const;

    CountFileLoad Read_PC_file();
    // The event log read was saved on an earlier day: it no longer counts and is emptied once the day file
    // is read and the days it covers are brought up to date from it; the last values stay in force.
    void emptyEventLog();
    // Reads the day file, then rebuilds the days the event log covers, as a hard stop between the two saves
    // leaves the day file behind the event file. A log emptied as stale is then stored at once, day file
    // first, so no stop afterwards can lose the days it held.
    CountFileLoad Read_DAY_file();
    // Start-up order: last-save time, event file, stale-log check, day file.
    void loadAtStartUp();

    bool Write_PC_file();
    // Sorts every day table by date, then writes them.
    bool Write_DAY_file();

    QTimer* backUpTimer() const { return m_backUpTimer; }
    // "自動保存間隔[分]": the interval is minutes × 6000 ms.
    void startBackUpTimer(int minutes);

public slots:
    // "現在の人数カウントを保存する(&S)" (Ctrl+S): the event file, then the day file.
    void S1Click();
    void BackUpTimerTimer();

private:
    struct FileState
    {
        QString name;
        // The file on disk was refused and is not yet copied aside.
        bool keepAside = false;
    };

    CountFileLoad load(FileState& file, const std::function<CountFileLoad(QIODevice&)>& reader);
    bool save(FileState& file, const std::function<bool(QIODevice&)>& writer);
    bool copyAside(FileState& file);
    QString pathOf(const FileState& file) const;
    void log(const QString& text) const;

    CountModel& m_model;
    const Clock& m_clock;
    bool m_staleEventLog = false;
    QString m_dataFolder;
    FileState m_eventFile;
    FileState m_dayFile;
    QTimer* m_backUpTimer = nullptr;
    LogSink m_log;
};
