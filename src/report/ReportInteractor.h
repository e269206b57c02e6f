#pragma once

#include "report/PrintSetting.h"

#include <QMultiHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>

QT_BEGIN_NAMESPACE
class QPrinter;
class QSqlQueryModel;
QT_END_NAMESPACE

class Reporter;

// Carries out the report requests of the data screen (the log file shown) and
// of the database screen (its selection): print through the print dialog,
// preview, or write a PDF file without any dialog. Lives in the GUI thread,
// where printers, dialogs and charts must be made; a program without windows
// still needs a QApplication for the charts (the offscreen platform will do).
// Every failure ends the request with nothing printed and is announced by
// reportErrorOccurred.
class ReportInteractor : public QObject
{
    Q_OBJECT
public:
    // The dialogs a request shows. The product uses the Qt print and preview
    // dialogs; tests put in functions of their own.
    struct Dialogs
    {
        // Lets the user choose and set up the printer; true when accepted.
        std::function<bool(QPrinter* printer)> choosePrinter;
        // Shows a preview; `paint` prints the whole report onto the printer the
        // preview hands over, as often as the preview asks.
        std::function<void(QPrinter* printer, const std::function<void(QPrinter*)>& paint)> preview;
    };

    explicit ReportInteractor(QObject* parent = nullptr);
    ~ReportInteractor() override;

    void setDialogs(const Dialogs& dialogs) { m_dialogs = dialogs; }
    static Dialogs systemDialogs();

    // The name a PDF report is written under: ".pdf" is added unless the name
    // already ends in it (names often carry dotted dates, "21.03.2024").
    static QString pdfFileName(const QString& path);

signals:
    void reportErrorOccurred(QString text);

public slots:
    void printReport(PrintSetting printSetting);
    void previewReport(PrintSetting printSetting);
    void printReportDB(QSqlQueryModel* model, PrintSetting printSetting,
                       QMultiHash<QString, QVariant> dbRequestParameters);
    void onPreviewReportDB(QSqlQueryModel* model, PrintSetting printSetting,
                           QMultiHash<QString, QVariant> dbRequestParameters);

    // The same documents written to a PDF file at `path`, without a dialog. An
    // existing file is replaced only by a complete report. False (with the
    // error announced) when the report or the file could not be made.
    bool saveReportPdf(PrintSetting printSetting, QString path);
    bool saveReportDBPdf(QSqlQueryModel* model, PrintSetting printSetting,
                         QMultiHash<QString, QVariant> dbRequestParameters, QString path);

private slots:
    // Prints the report being previewed onto the preview's printer.
    void printPreview(QPrinter* printer);

private:
    bool runRequest(const std::function<void()>& request);
    void preview(Reporter& reporter);

    QPointer<Reporter> m_current;
    Dialogs m_dialogs;
};
