#include "app/Help.h"

#include <QCloseEvent>
#include <QResizeEvent>

Help::Help(QWidget* parent)
    : QDialog(parent)
{
    // Only the own-device-context hint: an ordinary framed top-level window
    // rather than a dialog with its reduced frame.
    setWindowFlags(Qt::WindowFlags(Qt::MSWindowsOwnDC));
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("Help"));
    QDialog::resize(1024, 768);
    setMinimumSize(1024, 768);
}

void Help::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit close();
    deleteLater();
}

void Help::resizeEvent(QResizeEvent* event)
{
    event->accept();
    emit resize();
}
