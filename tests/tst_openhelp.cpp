#include "app/Help.h"
#include "app/OpenHelp.h"
#include "data/CsvExporter.h"
#include "data/ModelLogRecord.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextCodec>
#include <QtTest>

static void initQmlResources()
{
    Q_INIT_RESOURCE(orvelin_qml);
}

// The help opener keeps one window for both pages and forgets it once the user
// closes it.
class TestOpenHelp : public QObject
{
    Q_OBJECT

private:
    static int helpWindowCount()
    {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<Help*>(widget))
                ++count;
        return count;
    }

    // Closes the window the way the user does and lets its deferred deletion run.
    static void closeByUser(OpenHelp& opener)
    {
        QPointer<Help> window = opener.window();
        QVERIFY(window);
        window->closeWindow();
        QTRY_VERIFY(window.isNull());
    }

private slots:
    void initTestCase()
    {
        initQmlResources();
        QVERIFY2(QFile::exists(OpenHelp::helpPage().toLocalFile()), "help pages must be copied beside the tests");
        QVERIFY(QFile::exists(OpenHelp::infoPage().toLocalFile()));
    }

    void cleanup()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<Help*>(widget))
                delete widget;
    }

    void helpWindow_hasTitleIconPageAndHomeButton()
    {
        OpenHelp opener;
        QVERIFY(!opener.isWindowOpen());
        opener.openHelpWindow();
        QVERIFY(opener.isWindowOpen());
        Help* window = opener.window();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QString("Справка"));
        QVERIFY(!window->windowIcon().isNull());
        QCOMPARE(window->size(), QSize(1024, 768));
        QCOMPARE(window->minimumSize(), QSize(1024, 768));
        QCOMPARE(window->maximumSize(), QSize(1024, 768));
        QCOMPARE(window->objectName(), QString("Help"));
        // A framed top-level window, not a dialog.
        QCOMPARE(window->windowType(), Qt::Window);
        QVERIFY(window->windowFlags().testFlag(Qt::MSWindowsOwnDC));
        QCOMPARE(opener.browser()->source(), OpenHelp::helpPage());
        QCOMPARE(opener.browser()->geometry(), QRect(0, 33, 1024, 768 - 33));
        QVERIFY(opener.homeButton()->isVisible());
        QCOMPARE(opener.homeButton()->geometry(), QRect(1, 1, 120, 32));
        QVERIFY(!opener.homeButton()->icon().isNull());
        // The page really loaded, not just a URL remembered.
        QVERIFY(!opener.browser()->toPlainText().trimmed().isEmpty());
    }

    void helpAboutHelp_reuseOneWindowAndFollowTheLastButton()
    {
        OpenHelp opener;
        opener.openHelpWindow();
        QPointer<Help> first = opener.window();
        QTextBrowser* browser = opener.browser();

        opener.openInfoWindow();
        QCOMPARE(opener.window(), first.data());
        QCOMPARE(opener.browser(), browser);
        QCOMPARE(first->windowTitle(), QString("О программе"));
        QCOMPARE(browser->source(), OpenHelp::infoPage());
        QVERIFY(!opener.homeButton()->isVisible());
        QCOMPARE(browser->geometry().top(), 30);

        opener.openHelpWindow();
        QCOMPARE(opener.window(), first.data());
        QCOMPARE(first->windowTitle(), QString("Справка"));
        QCOMPARE(browser->source(), OpenHelp::helpPage());
        QVERIFY(opener.homeButton()->isVisible());
        QCOMPARE(helpWindowCount(), 1);
    }

    void closingTheWindow_nextPressCreatesANewOne()
    {
        OpenHelp opener;
        opener.openInfoWindow();
        QPointer<Help> first = opener.window();
        QSignalSpy closed(first.data(), qOverload<>(&Help::close));

        closeByUser(opener);
        QCOMPARE(closed.count(), 1);
        QVERIFY(!opener.isWindowOpen());
        QCOMPARE(helpWindowCount(), 0);

        opener.openHelpWindow();
        QVERIFY(opener.isWindowOpen());
        QVERIFY(opener.window());
        QCOMPARE(opener.window()->windowTitle(), QString("Справка"));
        QCOMPARE(helpWindowCount(), 1);
    }

    void repeatedHelpPresses_keepOneWindowAndHomeReturnsToStart()
    {
        OpenHelp opener;
        for (int i = 0; i < 4; ++i)
            opener.openHelpWindow();
        QCOMPARE(helpWindowCount(), 1);
        QCOMPARE(opener.window()->findChildren<QTextBrowser*>().size(), 1);
        QCOMPARE(opener.window()->findChildren<QPushButton*>().size(), 1);

        // Follow a link away from the start page, then press the home button once:
        // one press must be one home() call, however often help was opened.
        QTextBrowser* browser = opener.browser();
        const QUrl other = QUrl::fromLocalFile(QFileInfo(OpenHelp::helpPage().toLocalFile()).dir().filePath("Errors.htm"));
        browser->setSource(other);
        QCOMPARE(browser->source(), other);
        int homeCalls = 0;
        connect(browser, &QTextBrowser::sourceChanged, this, [&homeCalls] { ++homeCalls; });
        opener.homeButton()->click();
        QCOMPARE(browser->source(), OpenHelp::helpPage());
        QCOMPARE(homeCalls, 1);
    }

    void aboutFirstThenHelp_homeReturnsToHelpStartPage()
    {
        OpenHelp opener;
        opener.openInfoWindow();
        opener.openHelpWindow();
        QTextBrowser* browser = opener.browser();
        browser->setSource(QUrl::fromLocalFile(QFileInfo(OpenHelp::helpPage().toLocalFile()).dir().filePath("Errors.htm")));
        opener.homeButton()->click();
        QCOMPARE(browser->source(), OpenHelp::helpPage());
    }

    void exportPage_csvExampleIsWhatTheExportWrites()
    {
        // The help shows a CSV file the data screen writes, line for line; it
        // must stay what the program really writes, encoding included.
        QFile page(QFileInfo(OpenHelp::helpPage().toLocalFile()).dir().filePath(QStringLiteral("Export.htm")));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        const QRegularExpressionMatch example =
            QRegularExpression(QStringLiteral("<pre class=\"csv-example\">(.*?)</pre>"),
                               QRegularExpression::DotMatchesEverythingOption).match(html);
        QVERIFY2(example.hasMatch(), "Export.htm has no CSV example");
        QString shown = example.captured(1);
        shown.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));

        // The log the example describes: a ZR-7.47, ID 1234567, one measurement
        // of 23.5 °C and 45.2 % on channel 1 at 01.06.2023 12:00:00.
        ModelLogRecord model;
        model.setContent(1234567, 0,
                         {{QDateTime(QDate(2023, 6, 1), QTime(12, 0), Qt::UTC), {{1, 23.5f, 0}, {2, 45.2f, 1}}}});
        const QByteArray written = CsvExporter::logCsv(model);
        QTextCodec* cp1251 = QTextCodec::codecForName("Windows-1251");
        QVERIFY(cp1251);
        QCOMPARE(cp1251->toUnicode(written), shown);
        QVERIFY(html.contains(QStringLiteral("Windows-1251")));
    }

    void helpWindow_announcesResize()
    {
        Help window;
        QSignalSpy resized(&window, qOverload<>(&Help::resize));
        window.show();
        window.resize(1100, 800);
        QTRY_VERIFY(resized.count() >= 1);
    }
};

QTEST_MAIN(TestOpenHelp)
#include "tst_openhelp.moc"
