#pragma once

#include "app/Help.h"

#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>

// Opens the help and the about pages in one shared window. While the window is
// open both openers reuse it, switching its page, title, icon and home button;
// once the user closes it, the next call builds a new one.
class OpenHelp : public QObject
{
    Q_OBJECT
public:
    explicit OpenHelp(QObject* parent = nullptr);
    // Takes an open help window along, so that none outlives the application.
    ~OpenHelp() override;

    bool isWindowOpen() const { return m_windowOpen; }
    Help* window() const { return m_window; }
    QTextBrowser* browser() const { return m_browser; }
    QPushButton* homeButton() const { return m_homeButton; }

    // The page files beside the executable.
    static QUrl helpPage();
    static QUrl infoPage();

public slots:
    void openHelpWindow();
    void openInfoWindow();
    void closeForm();

private:
    void createWindow(const QUrl& page, bool openExternalLinks);

    bool m_windowOpen = false;
    QPointer<Help> m_window;
    QPointer<QTextBrowser> m_browser;
    QPointer<QPushButton> m_homeButton;
};
