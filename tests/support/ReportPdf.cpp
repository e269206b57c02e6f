#include "ReportPdf.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace reportpdf {

namespace {

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

QString text(const QString& path)
{
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                                                        QStringLiteral("-")}).simplified();
}

QVector<QSize> pictures(const QString& path)
{
    // page num type width height ...; two header lines first.
    QVector<QSize> sizes;
    const QStringList lines = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path})
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(2)) {
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (fields.size() > 4 && fields.at(2) == QLatin1String("image"))
            sizes << QSize(fields.at(3).toInt(), fields.at(4).toInt());
    }
    return sizes;
}

int pageCount(const QString& path)
{
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pages.match(run(QStringLiteral("pdfinfo"), {path}));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

bool containsInOrder(const QString& text, const QStringList& parts)
{
    int from = 0;
    for (const QString& part : parts) {
        const int at = text.indexOf(part, from);
        if (at < 0)
            return false;
        from = at + part.size();
    }
    return true;
}

} // namespace reportpdf
