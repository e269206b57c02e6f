#include "app/Localization.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

QString Localization::displayName()
{
    return QStringLiteral("Orvelin");
}

QStringList Localization::catalogueFolders()
{
    return {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
            QLibraryInfo::location(QLibraryInfo::TranslationsPath)};
}

bool Localization::apply(QCoreApplication& app)
{
    // Without a display name Qt titles boxes with the executable's name.
    QGuiApplication::setApplicationDisplayName(displayName());

    // "qt_ru" pulls in the catalogues of every Qt module (widgets, Quick
    // controls, serial port) that it depends on.
    for (const QString& folder : catalogueFolders()) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QStringLiteral("qt_ru"), folder)) {
            app.installTranslator(translator);
            return true;
        }
        delete translator;
    }
    qWarning("Qt's Russian catalogue qt_ru.qm was not found; Qt's own texts stay in English");
    return false;
}
