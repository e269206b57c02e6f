import QtQuick 2.15
import QtQuick.Controls 2.15

// Placeholder page until the screen is built.
Page {
    background: Item {}
}
