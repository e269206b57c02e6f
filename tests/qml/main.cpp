#include <QQmlEngine>
#include <QQuickStyle>
#include <QtQuickTest>

// The QML documents under test are compiled into the core library's resources.
static void initQmlResources()
{
    Q_INIT_RESOURCE(orvelin_qml);
}

class Setup : public QObject
{
    Q_OBJECT
public slots:
    void applicationAvailable()
    {
        initQmlResources();
        QQuickStyle::setStyle(QStringLiteral("fusion"));
    }

    void qmlEngineAvailable(QQmlEngine* engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/"));
    }
};

QUICK_TEST_MAIN_WITH_SETUP(orvelin_qml, Setup)

#include "main.moc"
