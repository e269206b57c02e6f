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

// The rows of `pdfimages -list` for pictures: page num type width height
// color comp bpc enc interp object ID x-ppi y-ppi size ratio.
QList<QStringList> pictureRows(const QString& path)
{
    QList<QStringList> rows;
    const QStringList lines = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path})
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(2)) {
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (fields.size() > 12 && fields.at(2) == QLatin1String("image"))
            rows << fields;
    }
    return rows;
}

} // namespace

QString text(const QString& path)
{
    const QStringList arguments{QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")};
    return run(QStringLiteral("pdftotext"), arguments).simplified();
}

QVector<QSize> pictures(const QString& path)
{
    QVector<QSize> sizes;
    for (const QStringList& fields : pictureRows(path))
        sizes << QSize(fields.at(3).toInt(), fields.at(4).toInt());
    return sizes;
}

QVector<int> pictureDpi(const QString& path)
{
    QVector<int> dpi;
    for (const QStringList& fields : pictureRows(path))
        dpi << fields.at(12).toInt();
    return dpi;
}

QSizeF pageSize(const QString& path)
{
    const QRegularExpression size(QStringLiteral("^Page size:\\s+([\\d.]+) x ([\\d.]+) pts"),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = size.match(run(QStringLiteral("pdfinfo"), {path}));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble() / 72, match.captured(2).toDouble() / 72) : QSizeF();
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
