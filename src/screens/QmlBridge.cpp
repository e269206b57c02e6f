#include "screens/QmlBridge.h"

#include <QDebug>

QmlBridge::QmlBridge(QObject* root)
    : QObject(root)
{
}

QObject* QmlBridge::findQmlObject(const QString& objectName) const
{
    QObject* root = parent();
    if (!root)
        return nullptr;
    return root->findChild<QObject*>(objectName, Qt::FindChildrenRecursively);
}

void QmlBridge::setObjectProperty(const QString& objectName, const char* propertyName, const QVariant& value)
{
    QObject* object = findQmlObject(objectName);
    if (!object) {
        qWarning("QmlBridge: no QML object named \"%s\" (property %s not set)",
                 qPrintable(objectName), propertyName);
        return;
    }
    object->setProperty(propertyName, value);
}

QVariant QmlBridge::objectProperty(const QString& objectName, const QString& propertyName) const
{
    QObject* object = findQmlObject(objectName);
    if (!object) {
        qWarning("QmlBridge: no QML object named \"%s\" (property %s not read)",
                 qPrintable(objectName), qPrintable(propertyName));
        return {};
    }
    return object->property(propertyName.toLocal8Bit().constData());
}
