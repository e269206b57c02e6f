#include "data/ModelLogRecord.h"
#include "device/ModelDeviceFileInfo.h"

#include <QApplication>
#include <QQmlContext>
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
        // The screens bind to these models as start-up publishes them.
        engine->rootContext()->setContextProperty(QStringLiteral("modelFilesInfo"), new ModelDeviceFileInfo(engine));
        engine->rootContext()->setContextProperty(QStringLiteral("modelLogRecord"), new ModelLogRecord(engine));
    }
};

// The screens hold charts, which need a widget application object; the quick
// test main would otherwise make a plain GUI application.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    Setup setup;
    return quick_test_main_with_setup(argc, argv, "orvelin_qml", QUICK_TEST_SOURCE_DIR, &setup);
}

#include "main.moc"
