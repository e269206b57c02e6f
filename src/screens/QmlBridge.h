#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

// Base of every screen bridge: reaches the QML objects under the main window
// root (the bridge's parent) by their objectName and sets or reads one property.
// A name that no object carries is reported once as a warning and skipped, so a
// screen that lacks an optional element never takes the bridge down with it.
class QmlBridge : public QObject
{
    Q_OBJECT
public:
    explicit QmlBridge(QObject* root);

    void setObjectProperty(const QString& objectName, const char* propertyName, const QVariant& value);
    QVariant objectProperty(const QString& objectName, const QString& propertyName) const;

    // The object with that name, or nullptr: first the root's direct children in
    // order, then each child's subtree in turn.
    QObject* findQmlObject(const QString& objectName) const;
};
