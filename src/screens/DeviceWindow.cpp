#include "screens/DeviceWindow.h"

#include "device/ModelDeviceFileInfo.h"

#include <QMessageBox>

namespace {
const QString kImage = QStringLiteral("ImageDevice");
const QString kType = QStringLiteral("TypeDevice");
const QString kId = QStringLiteral("IdDevice");
const QString kVersion = QStringLiteral("VersionDevice");
const QString kTime = QStringLiteral("TimeDevice");
const QString kTimeSync = QStringLiteral("BtnTimeSync");
const QString kError = QStringLiteral("ErrorDevice");
const QString kList = QStringLiteral("ListFilesInfo");
const QString kOpen = QStringLiteral("ButtonOpenFilesDevice");
const QString kSettingsButton = QStringLiteral("ButtonSettings");
const QString kDevicePage = QStringLiteral("DeviceMenu");
const QString kSettingsPage = QStringLiteral("SettingsDevice");
} // namespace

DeviceWindow::DeviceWindow(QObject* root, ModelDeviceFileInfo* modelFilesInfo)
    : QmlBridge(root)
    , m_model(modelFilesInfo)
    , m_dialogs(systemDialogs())
{
    setObjectProperty(kDevicePage, "visible", true);
    setObjectProperty(kSettingsButton, "enabled", false);
}

DeviceWindow::Dialogs DeviceWindow::systemDialogs()
{
    Dialogs dialogs;
    dialogs.warning = [](const QString& text) {
        QMessageBox box(QMessageBox::Warning, QString(), text);
        box.setModal(true);
        box.exec();
    };
    return dialogs;
}

QObject* DeviceWindow::openButton()
{
    if (!m_openButton)
        m_openButton = findQmlObject(kOpen);
    return m_openButton;
}

QString DeviceWindow::typeOf(const QString& info)
{
    const int space = info.indexOf(QLatin1Char(' '));
    return space < 0 ? info : info.left(space);
}

QString DeviceWindow::versionOf(const QString& info)
{
    const int space = info.indexOf(QLatin1Char(' '));
    return space < 0 ? info : info.mid(space);
}

void DeviceWindow::showDeviceError(QString error)
{
    for (const QString& name : {kImage, kType, kId, kTime, kTimeSync, kList, kOpen, kVersion})
        setObjectProperty(name, "visible", false);
    setObjectProperty(kError, "textError", error);
    setObjectProperty(kError, "visible", true);
    setObjectProperty(kSettingsButton, "enabled", false);
    setObjectProperty(kOpen, "enabled", true);
    setObjectProperty(kOpen, "progressDownloadFiles", 0.0);
    if (objectProperty(kSettingsPage, QStringLiteral("visible")).toBool()) {
        setObjectProperty(kDevicePage, "visible", true);
        setObjectProperty(kSettingsPage, "visible", false);
    }
    emit connectToDevice();
}

void DeviceWindow::showDeviceInfo(QString info)
{
    setObjectProperty(kError, "visible", false);
    setObjectProperty(kImage, "pathImage", QStringLiteral("/images/deviceZR74X.png"));
    setObjectProperty(kImage, "visible", true);
    setObjectProperty(kVersion, "visible", true);
    setObjectProperty(kType, "typeDevice", typeOf(info));
    setObjectProperty(kVersion, "versionDevice", versionOf(info));
    setObjectProperty(kType, "visible", true);
    setObjectProperty(kSettingsButton, "enabled", true);
}

void DeviceWindow::showDeviceID(uint id)
{
    m_idDevice = id;
    setObjectProperty(kId, "visible", true);
    setObjectProperty(kId, "idDevice", QString::number(id));
    emit requestListFiles();
}

void DeviceWindow::showDeviceTime(QDateTime time)
{
    setObjectProperty(kTime, "visible", true);
    setObjectProperty(kTimeSync, "visible", true);
    setObjectProperty(kTime, "timeDevice", time.toString(QStringLiteral("hh:mm:ss dd.MM.yyyy")));
}

void DeviceWindow::showDeviceFiles(QList<DeviceFileInfo> listFilesInfo)
{
    setObjectProperty(kList, "visible", true);
    m_listFilesInfo = listFilesInfo;
    if (m_model)
        m_model->setListFiles(listFilesInfo);
    m_nameFile.clear();
}

void DeviceWindow::setNameFile(QString nameFile)
{
    m_nameFile = nameFile;
    setObjectProperty(kOpen, "visible", true);
}

void DeviceWindow::downloadFileFromDevice()
{
    for (const DeviceFileInfo& entry : qAsConst(m_listFilesInfo)) {
        if (entry.nameFile != m_nameFile)
            continue;
        if (entry.numberOfRecords > 0) {
            emit startDownloadFileFromDevice(m_idDevice, entry);
            setObjectProperty(kOpen, "enabled", false);
        }
        return;
    }
}

void DeviceWindow::showDownloadFileFromDevice(float percent)
{
    QObject* button = openButton();
    if (!button)
        return;
    button->setProperty("progressDownloadFiles", double(percent));
    if (percent == 100.0f) {
        button->setProperty("enabled", true);
        button->setProperty("progressDownloadFiles", 0.0);
    }
}

void DeviceWindow::showDownloadError(QString text)
{
    setObjectProperty(kOpen, "enabled", true);
    setObjectProperty(kOpen, "progressDownloadFiles", 0.0);
    m_dialogs.warning(text);
}

void DeviceWindow::syncTimeDevice()
{
    emit currentTimeSetInDevice();
}
