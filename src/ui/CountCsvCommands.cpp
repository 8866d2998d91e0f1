#include "ui/CountCsvCommands.h"

#include "reports/CountDatabaseImport.h"
#include "reports/DayTables.h"
#include "ui/TCalenderForm.h"

#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QWidget>

#include <algorithm>

namespace {

const QString& csvFilter()
{
    static const QString filter = QStringLiteral("CSVファイル (*.CSV *.csv)");
    return filter;
}

const QString& xlsxFilter()
{
    static const QString filter = QStringLiteral("XLSXファイル (*.XLSX *.xlsx)");
    return filter;
}

// The name with its extension replaced by (or extended with) suffix, which includes the dot.
QString withExtension(const QString& name, const QString& suffix)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype separator = std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    return (dot > separator ? name.left(dot) : name) + suffix;
}

} // namespace

CountCsvCommands::CountCsvCommands(QWidget* mainWindow, CountModel& model, const Clock& clock, ProgressSink& progress,
                                   ReportDateRange& range, Hooks hooks, QObject* parent)
    : QObject(parent), m_mainWindow(mainWindow), m_model(model), m_clock(clock), m_range(range),
      m_hooks(std::move(hooks)), m_reports(model, clock, progress, *this, range),
      m_xlsx(model, m_reports.options(), range, clock, progress, *this,
             [this](const QString& text) { showXlsxMessage(text); })
{
    m_reports.setXlsxWriter(&m_xlsx);
}

bool CountCsvCommands::askDateRange()
{
    const CountCsvOptions& options = m_reports.options();
    return TCalenderForm::ask(m_mainWindow, m_model, m_clock, m_range, options.startBand, options.endBand);
}

QString CountCsvCommands::chooseFile(bool save, const QString& name, const QString& suffix, const QStringList& filters)
{
    QFileDialog dialog(m_mainWindow);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!m_dialogFolder.isEmpty())
        dialog.setDirectory(m_dialogFolder);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void CountCsvCommands::CSVFileWriteClick(QString& outputFileName)
{
    if (!askDateRange())
        return;
    outputFileName = withExtension(outputFileName, QStringLiteral(".CSV"));
    const QString path = chooseFile(true, outputFileName, QStringLiteral("CSV"), {csvFilter(), xlsxFilter()});
    if (path.isEmpty())
        return;
    m_lastCountCsvName = path;
    m_reports.ExportCountFile(path);
}

void CountCsvCommands::XLSXE1Click(const QString& outputFileName)
{
    if (!askDateRange())
        return;
    DayTables::sortAllByDate(m_model);
    const QString proposal = withExtension(outputFileName, QStringLiteral(".XLSX"));
    const QString path = chooseFile(true, proposal, QStringLiteral("XLSX"), {xlsxFilter(), csvFilter()});
    if (path.isEmpty())
        return;
    m_lastXlsxName = path;
    // A workbook held open by a spreadsheet program cannot be replaced; say so before any work is done.
    QFile chosen(path);
    if (chosen.exists() && !chosen.open(QIODevice::ReadWrite)) {
        const QString title = m_mainWindow ? m_mainWindow->windowTitle() : QString();
        QMessageBox::warning(
            m_mainWindow, title,
            QStringLiteral("ファイルを作成することが出来ません!\n既にExcel等で開いている場合は閉じて下さい。"));
        return;
    }
    chosen.close();
    if (path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        m_reports.ExportCountFile(path);
}

void CountCsvCommands::showXlsxMessage(const QString& text)
{
    QMessageBox::warning(m_mainWindow, QGuiApplication::applicationDisplayName(), text);
}

void CountCsvCommands::CSVB3Click(bool ctrlHeld)
{
    if (ctrlHeld && !askDateRange())
        return;
    const QString path = chooseFile(true, m_lastDatabaseName, QStringLiteral("CSV"), {csvFilter()});
    if (path.isEmpty())
        return;
    m_lastDatabaseName = path;
    m_reports.exportCountDatabase(path, ctrlHeld);
}

void CountCsvCommands::CSV1Click()
{
    const QString path = chooseFile(false, m_lastDatabaseName, QStringLiteral("CSV"), {csvFilter()});
    if (!path.isEmpty())
        m_lastDatabaseName = path;
    m_reports.importCountDatabase(path);
}

bool CountCsvCommands::connectionCheckRunning() const
{
    return m_hooks.connectionCheckRunning && m_hooks.connectionCheckRunning();
}

void CountCsvCommands::setMainWindowEnabled(bool enabled)
{
    if (m_mainWindow)
        m_mainWindow->setEnabled(enabled);
}

bool CountCsvCommands::askYesNo(const QString& text)
{
    const QString title = m_mainWindow ? m_mainWindow->windowTitle() : QString();
    return QMessageBox::question(m_mainWindow, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void CountCsvCommands::PageLabelSet()
{
    if (m_hooks.PageLabelSet)
        m_hooks.PageLabelSet();
}

void CountCsvCommands::requestLayoutPass()
{
    if (m_hooks.requestLayoutPass)
        m_hooks.requestLayoutPass();
}
