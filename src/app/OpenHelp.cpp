#include "app/OpenHelp.h"

#include "app/Help.h"
#include "base/DataLocation.h"

#include <QDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QIcon>
#include <QPushButton>
#include <QTextBrowser>

namespace {
const int kHelpBrowserTop = 33;
const int kInfoBrowserTop = 30;

QUrl helpPageUrl(const QString& page)
{
    // fromLocalFile gives a well-formed file URL on every platform (a plain
    // "file:///" + path would carry four slashes where paths start with one).
    return QUrl::fromLocalFile(DataLocation::helpDir() + QLatin1Char('/') + page);
}

// The about page names the folder this copy keeps its data in, which depends
// on where it runs from.
void showDataFolder(QTextBrowser* browser)
{
    QTextCursor place = browser->document()->find(QStringLiteral("@DATA_FOLDER@"));
    if (!place.isNull())
        place.insertText(QDir::toNativeSeparators(DataLocation::dataDir()));
}
} // namespace

OpenHelp::OpenHelp(QObject* parent)
    : QObject(parent)
{
}

OpenHelp::~OpenHelp()
{
    delete m_window.data();
}

QUrl OpenHelp::helpPage()
{
    return helpPageUrl(QStringLiteral("Home.htm"));
}

QUrl OpenHelp::infoPage()
{
    return helpPageUrl(QStringLiteral("Info.htm"));
}

void OpenHelp::createWindow(const QUrl& page, bool openExternalLinks)
{
    m_window = new Help();
    connect(m_window, qOverload<>(&Help::close), this, &OpenHelp::closeForm);

    m_browser = new QTextBrowser(m_window);
    m_homeButton = new QPushButton(tr("&Назад"), m_window);
    if (openExternalLinks)
        m_browser->setOpenExternalLinks(true);
    m_browser->setSource(page);

    m_windowOpen = true;
}

void OpenHelp::openHelpWindow()
{
    if (!m_windowOpen || !m_window)
        createWindow(helpPage(), false);

    m_browser->setGeometry(0, kHelpBrowserTop, m_window->width(), m_window->height() - kHelpBrowserTop);
    m_homeButton->setGeometry(1, 1, 120, 32);
    m_homeButton->setIcon(QIcon(QStringLiteral("://images//iconBack.png")));
    m_homeButton->setIconSize(QSize(24, 24));
    m_homeButton->show();
    connect(m_homeButton, &QPushButton::clicked, m_browser, &QTextBrowser::home, Qt::UniqueConnection);

    m_browser->setSource(helpPage());
    // home() goes to the first page of the history. If the window was first
    // opened on the about page, that would be the about page; dropping the
    // history makes the help start page the one the button returns to.
    m_browser->clearHistory();

    m_window->setWindowTitle(tr("Справка"));
    m_window->setWindowIcon(QIcon(QStringLiteral("://images/question.png")));
    m_window->setFixedSize(m_window->size());
    m_window->show();
}

void OpenHelp::openInfoWindow()
{
    if (!m_windowOpen || !m_window)
        createWindow(infoPage(), true);

    m_browser->setGeometry(0, kInfoBrowserTop, m_window->width(), m_window->height() - kInfoBrowserTop);
    m_homeButton->hide();
    // Links that leave the help folder belong in the system's browser,
    // whichever opener built the window.
    m_browser->setOpenExternalLinks(true);
    m_browser->setSource(infoPage());
    showDataFolder(m_browser);

    m_window->setWindowTitle(tr("О программе"));
    m_window->setWindowIcon(QIcon(QStringLiteral("://images/info.png")));
    m_window->setFixedSize(m_window->size());
    m_window->show();
}

void OpenHelp::closeForm()
{
    m_windowOpen = false;
}
