#include "report/ReportInteractor.h"

#include "report/ReportCharts.h"
#include "report/PdfCheck.h"
#include "report/ReportLayout.h"
#include "report/Reporter.h"

#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSqlQueryModel>
#include <QStorageInfo>
#include <QAbstractTableModel>

#include <cstdio>
#include <exception>
#include <memory>

namespace {

std::unique_ptr<Reporter> logReport(const PrintSetting& setting)
{
    ReportLayout::checkRowLimit(setting);
    auto reporter = std::make_unique<Reporter>();
    ReportLayout::composeLogReport(*reporter, setting);
    for (const QImage& picture : ReportCharts::makeLogCharts(setting))
        reporter->insertImage(picture);
    return reporter;
}

std::unique_ptr<Reporter> dataBaseReport(const QSqlQueryModel* model, const PrintSetting& setting,
                                         const QMultiHash<QString, QVariant>& dbRequestParameters)
{
    auto reporter = std::make_unique<Reporter>();
    ReportLayout::composeDataBaseReport(*reporter, model, setting, dbRequestParameters);
    for (const QImage& picture : ReportCharts::makeDataBaseCharts(model, setting))
        reporter->insertImage(picture);
    return reporter;
}

void print(const Reporter& reporter, QPrinter* printer)
{
    if (!reporter.printDocument(printer))
        throw QStringLiteral("Не удалось напечатать отчёт");
}

QString writeErrorText(const QString& path)
{
    return QStringLiteral("Не удалось записать отчёт в файл %1").arg(path);
}

// Why a report file could not be written where it was to go.
QString writeErrorText(const QString& path, const QString& folder)
{
    const QStorageInfo storage(folder);
    const QString reason = storage.isValid() && storage.bytesAvailable() < 64 * 1024
        ? QStringLiteral("диск заполнен")
        : QStringLiteral("файл записан не полностью");
    return writeErrorText(path) + QStringLiteral(": ") + reason;
}

// A name beside `path` that no file has yet.
QString partFileName(const QString& path)
{
    QString name;
    do {
        name = path + QStringLiteral(".part") + QString::number(QRandomGenerator::global()->generate(), 36);
    } while (QFileInfo::exists(name));
    return name;
}

// Prints into a file of its own beside the target and puts it in place only
// when it is complete, so a failure (a full disk among them, which the printer
// does not report) never leaves a half-written report or destroys the
// previous one. The printer creates the file, so it gets the permissions any
// new file of the user gets.
void writePdf(const Reporter& reporter, const QString& path)
{
    if (path.isEmpty())
        throw QStringLiteral("Не указано имя файла отчёта");
    if (QFileInfo(path).isDir())
        throw writeErrorText(path);
    const QString part = partFileName(path);
    const auto removePart = qScopeGuard([&part] { QFile::remove(part); });

    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(part);
        if (!reporter.printDocument(&printer))
            throw writeErrorText(path);
    }
    if (!QFileInfo::exists(part))
        throw writeErrorText(path);
    if (!PdfCheck::isCompleteFile(part))
        throw writeErrorText(path, QFileInfo(part).absolutePath());

    // rename() replaces the old report in one step: there is never a moment
    // without a report at `path`, and the old one stays when this fails.
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()) != 0)
        throw writeErrorText(path);
}

} // namespace

ReportInteractor::ReportInteractor(QObject* parent)
    : QObject(parent), m_dialogs(systemDialogs())
{
}

ReportInteractor::~ReportInteractor() = default;

ReportInteractor::Dialogs ReportInteractor::systemDialogs()
{
    Dialogs dialogs;
    dialogs.choosePrinter = [](QPrinter* printer) {
        QPrintDialog dialog(printer);
        return dialog.exec() == QDialog::Accepted;
    };
    dialogs.preview = [](QPrinter* printer, const std::function<void(QPrinter*)>& paint) {
        QPrintPreviewDialog dialog(printer);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, paint);
        dialog.exec();
    };
    return dialogs;
}

QString ReportInteractor::pdfFileName(const QString& path)
{
    if (path.isEmpty() || path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return path;
    return path + QStringLiteral(".pdf");
}

bool ReportInteractor::runRequest(const std::function<void()>& request)
{
    try {
        request();
        return true;
    } catch (const QString& text) {
        emit reportErrorOccurred(text);
    } catch (const std::exception&) {
        emit reportErrorOccurred(QStringLiteral("Не удалось подготовить отчёт"));
    }
    return false;
}

void ReportInteractor::preview(Reporter& reporter)
{
    QPrinter printer(QPrinter::HighResolution);
    // Made current at every repaint: a request that arrives while this modal
    // preview is open has a report of its own, and this preview keeps
    // painting the one it was opened for.
    const QPointer<Reporter> previous = m_current;
    Reporter* shown = &reporter;
    m_dialogs.preview(&printer, [this, shown](QPrinter* target) {
        m_current = shown;
        printPreview(target);
    });
    m_current = previous;
}

void ReportInteractor::printPreview(QPrinter* printer)
{
    if (m_current)
        m_current->printDocument(printer);
}

void ReportInteractor::printReport(PrintSetting printSetting)
{
    runRequest([&] {
        // A log-file report too long to print, or of nothing, is refused
        // before the dialog opens.
        ReportLayout::checkPrintable(printSetting, printSetting.model ? printSetting.model->rowCount() : 0);
        QPrinter printer(QPrinter::HighResolution);
        if (!m_dialogs.choosePrinter(&printer))
            return;
        print(*logReport(printSetting), &printer);
    });
}

void ReportInteractor::previewReport(PrintSetting printSetting)
{
    runRequest([&] { preview(*logReport(printSetting)); });
}

void ReportInteractor::printReportDB(QSqlQueryModel* model, PrintSetting printSetting,
                                     QMultiHash<QString, QVariant> dbRequestParameters)
{
    runRequest([&] {
        // Refused before the user chooses a printer for a report that cannot be made.
        ReportLayout::checkPrintable(printSetting, model ? model->rowCount() : 0);
        QPrinter printer(QPrinter::HighResolution);
        if (!m_dialogs.choosePrinter(&printer))
            return;
        print(*dataBaseReport(model, printSetting, dbRequestParameters), &printer);
    });
}

void ReportInteractor::onPreviewReportDB(QSqlQueryModel* model, PrintSetting printSetting,
                                         QMultiHash<QString, QVariant> dbRequestParameters)
{
    runRequest([&] { preview(*dataBaseReport(model, printSetting, dbRequestParameters)); });
}

bool ReportInteractor::saveReportPdf(PrintSetting printSetting, QString path)
{
    return runRequest([&] { writePdf(*logReport(printSetting), path); });
}

bool ReportInteractor::saveReportDBPdf(QSqlQueryModel* model, PrintSetting printSetting,
                                       QMultiHash<QString, QVariant> dbRequestParameters, QString path)
{
    return runRequest([&] { writePdf(*dataBaseReport(model, printSetting, dbRequestParameters), path); });
}
