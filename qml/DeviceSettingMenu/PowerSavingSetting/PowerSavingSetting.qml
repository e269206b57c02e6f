import QtQuick 2.15
import QtQuick.Layouts 1.15
import ".."

// Display brightness, sleep and switch-off delays and the kind of battery.
SettingGroup {
    id: powerSaving
    title: "Энергосбережение"
    property alias brightness: brightnessSetting.value
    property alias sleepPeriodSec: sleepSetting.value
    property alias shutdownPeriodMin: shutdownSetting.value
    property alias batteryType: batterySetting.currentIndex

    ColumnLayout {
        anchors.fill: parent
        spacing: 4

        BrightnessSetting {
            id: brightnessSetting
            Layout.fillWidth: true
        }
        SleepModeSetting {
            id: sleepSetting
            Layout.fillWidth: true
        }
        ShutdownSetting {
            id: shutdownSetting
            Layout.fillWidth: true
        }
        BatteryTypeSetting {
            id: batterySetting
            Layout.fillWidth: true
        }
    }
}
