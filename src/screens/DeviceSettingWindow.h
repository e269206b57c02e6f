#pragma once

#include "screens/QmlBridge.h"
#include "device/DeviceSettings.h"

#include <QString>
#include <functional>

// Bridge of the settings page: fills the page's controls from a settings record,
// collects them back into one when the user applies them, and shows errors in a
// modal warning box. Lives in the GUI thread as a child of the main window root.
class DeviceSettingWindow : public QmlBridge
{
    Q_OBJECT
public:
    // Shows one warning text and returns when the user has dismissed it.
    using WarningPresenter = std::function<void(const QString& text)>;

    explicit DeviceSettingWindow(QObject* root);

    // Replaces the modal message box (tests install a presenter that does not block).
    // An empty function restores the message box.
    void setWarningPresenter(WarningPresenter presenter);

    QString typeDevice() const { return m_typeDevice; }
    // The record last collected from the page by setSettingDevice().
    DeviceSettings settings() const { return m_settings; }

    // The type word that switches the page to the second model's sensor controls.
    static QString secondModelType();

public slots:
    // Takes the type word (the text before the first space) of the device info.
    void setTypeSetting(QString infoDevice);
    // Shows the settings page with the record's values.
    void showSetting(DeviceSettings settings);
    // Collects the page's values and emits settingsDeviceChanged.
    void setSettingDevice();
    void showErrorSettingDevice(QString err);

signals:
    // Relayed from the main window: the user asked for the settings page.
    void requestSettingDevice();
    void settingsDeviceChanged(DeviceSettings settings);

private:
    bool isSecondModel() const;
    void showAlarmChannel(int number, const ChannelAlarm& channel);
    ChannelAlarm readAlarmChannel(int number) const;

    DeviceSettings m_settings;
    // The record last shown: fields the page has no controls for are written
    // back from it as they were received.
    DeviceSettings m_shown;
    QString m_typeDevice;
    WarningPresenter m_presenter;
};
