#include "qttestmain.h"

#include "document/trelvin.h"
#include "shell/about.h"
#include "shell/resources.h"
#include "shell/welcomeform.h"

#include <QCommandLinkButton>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QToolButton>

using Zemko::Trelvin::Trelvin;

namespace {

QList<QCommandLinkButton*> shownRoads(const WelcomeForm& form)
{
    QList<QCommandLinkButton*> shown;
    const auto buttons = form.findChildren<QCommandLinkButton*>();
    for (QCommandLinkButton* button : buttons) {
        if (!button->isHidden())
            shown.append(button);
    }
    // Layout order is the order on screen.
    std::sort(shown.begin(), shown.end(),
              [](const QWidget* a, const QWidget* b) { return a->geometry().y() < b->geometry().y(); });
    return shown;
}

QStringList texts(const QList<QCommandLinkButton*>& buttons)
{
    QStringList result;
    for (const QCommandLinkButton* button : buttons)
        result.append(button->text());
    return result;
}

} // namespace

class TestWelcome : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString createRoad(const QString& name)
    {
        const QString path = dir.filePath(name);
        if (!Trelvin::instance()->createRoad(path))
            qWarning("could not create %s", qPrintable(path));
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        Zemko::Trelvin::initResources();
    }

    void cleanup() { Trelvin::instance()->closeRoad(); }

    void emptyListShowsOnlyNewAndOpen()
    {
        WelcomeForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Road Manager"));
        QVERIFY(shownRoads(form).isEmpty());

        auto* create = form.findChild<QToolButton*>(QStringLiteral("toolButtonNew"));
        auto* open = form.findChild<QToolButton*>(QStringLiteral("toolButtonOpen"));
        QVERIFY(create && open);
        QCOMPARE(create->text(), QStringLiteral("New Road"));
        QCOMPARE(open->text(), QStringLiteral("Open Road"));
        QVERIFY(!create->icon().isNull());
        QVERIFY(!open->icon().isNull());

        QSignalSpy newRoad(&form, &WelcomeForm::newRoad);
        QSignalSpy openRoad(&form, &WelcomeForm::openRoad);
        create->click();
        QCOMPARE(newRoad.count(), 1);
        QCOMPARE(openRoad.count(), 0);
        open->click();
        QCOMPARE(openRoad.count(), 1);
        QCOMPARE(newRoad.count(), 1);
    }

    void recentButtonsFollowTheList()
    {
        WelcomeForm form;
        QStringList paths;
        for (int i = 1; i <= 5; ++i)
            paths.prepend(createRoad(QStringLiteral("road%1.rod").arg(i)));
        QCOMPARE(Trelvin::instance()->recentRoads(), paths);

        QList<QCommandLinkButton*> shown = shownRoads(form);
        QCOMPARE(texts(shown), QStringList({ "road5", "road4", "road3", "road2", "road1" }));
        for (int i = 0; i < shown.size(); ++i)
            QCOMPARE(shown[i]->description(), QFileInfo(paths[i]).absoluteFilePath());

        // Roads deleted on disk leave the list; their buttons are hidden, not destroyed.
        Trelvin::instance()->closeRoad();
        for (int i = 2; i < 5; ++i)
            QVERIFY(QFile::remove(paths[i]));
        QTRY_COMPARE(shownRoads(form).size(), 2);
        QCOMPARE(texts(shownRoads(form)), QStringList({ "road5", "road4" }));
        QCOMPARE(form.findChildren<QCommandLinkButton*>().size(), 5);

        // A longer list again reuses the hidden buttons before making new ones.
        for (int i = 6; i <= 8; ++i)
            createRoad(QStringLiteral("road%1.rod").arg(i));
        QCOMPARE(texts(shownRoads(form)), QStringList({ "road8", "road7", "road6", "road5", "road4" }));
        QCOMPARE(form.findChildren<QCommandLinkButton*>().size(), 5);
    }

    void clickedRoadAsksForItsAbsolutePath()
    {
        const QString path = createRoad(QStringLiteral("a.b.rod"));
        const QString marked = createRoad(QStringLiteral("cut&fill.rod"));
        WelcomeForm form;
        QSignalSpy openRecent(&form, &WelcomeForm::openRecent);

        const QList<QCommandLinkButton*> shown = shownRoads(form);
        QVERIFY(shown.size() >= 2);
        // A '&' is shown as itself rather than marking a shortcut.
        QCOMPARE(shown[0]->text(), QStringLiteral("cut&&fill"));
        QCOMPARE(shown[1]->text(), QStringLiteral("a"));
        shown[1]->click();
        QCOMPARE(openRecent.count(), 1);
        QCOMPARE(openRecent.at(0).at(0).toString(), QFileInfo(path).absoluteFilePath());
        shown[0]->click();
        QCOMPARE(openRecent.at(1).at(0).toString(), QFileInfo(marked).absoluteFilePath());

        // Anything but a road button is not a request.
        QLabel stranger;
        form.onRecentClicked(&stranger);
        form.onRecentClicked(nullptr);
        QCOMPARE(openRecent.count(), 2);
    }

    void aboutShowsVersionAndClosesItself()
    {
        // The box's label is its own, whatever version the application reports.
        QCoreApplication::setApplicationVersion(QStringLiteral("2.0.0"));
        QWidget window;
        window.setGeometry(100, 100, 800, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QPointer<About> about = new About(&window);
        QCOMPARE(about->findChild<QLabel*>(QStringLiteral("versionLabel"))->text(),
                 QStringLiteral("1.2.4.20170915"));
        QVERIFY(about->windowFlags().testFlag(Qt::Popup));
        QVERIFY(about->findChild<QLabel*>(QStringLiteral("appNameLabel"))->text().contains("Trelvin"));
        QVERIFY(!about->findChild<QLabel*>(QStringLiteral("label"))->pixmap(Qt::ReturnByValue).isNull());
        QCOMPARE(about->geometry().center(), window.geometry().center());
        about->show();
        about->close();
        QTRY_VERIFY(about.isNull());
    }
};

TRELVIN_TEST_MAIN(TestWelcome)
#include "test_welcome.moc"
