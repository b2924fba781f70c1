#include "filewatch.h"
#include "qttestmain.h"

#include "support/equationmodel.h"
#include "support/roadfiles.h"
#include "support/scriptedprompter.h"

#include "document/trelvin.h"
#include "framework/editmodewidget.h"
#include "framework/roadcurve.h"
#include "shell/fancytabwidget.h"
#include "shell/mainwindow.h"
#include "shell/resources.h"

#include <road/horizontalalignment.h>
#include <road/pointofintersection.h>
#include <road/pointofintersectionconfiguration.h>
#include <road/roadsurface.h>
#include <road/station.h>

#include <QCommandLinkButton>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QToolBar>
#include <QToolButton>

#include <functional>

#include <sys/stat.h>

using Zemko::Trelvin::Trelvin;

namespace {

QStringList actionTexts(const QList<QAction*>& actions)
{
    QStringList texts;
    for (const QAction* action : actions)
        texts.append(action->isSeparator() ? QString() : action->text());
    return texts;
}

QMenu* menu(const MainWindow& window, const char* name)
{
    return window.findChild<QMenu*>(QLatin1String(name));
}

QAction* action(const MainWindow& window, const char* name)
{
    return window.findChild<QAction*>(QLatin1String(name));
}

QList<int> tabsWhere(const MainWindow& window, bool (Core::Internal::FancyTabBar::*test)(int) const)
{
    QList<int> tabs;
    for (int i = 0; i < window.tabWidget()->count(); ++i)
        if ((window.tabWidget()->tabBar()->*test)(i))
            tabs.append(i);
    return tabs;
}

QList<int> enabledTabs(const MainWindow& window)
{
    return tabsWhere(window, &Core::Internal::FancyTabBar::isTabEnabled);
}

QList<int> modifiedTabs(const MainWindow& window)
{
    return tabsWhere(window, &Core::Internal::FancyTabBar::isTabModified);
}

QList<int> range(int first, int last)
{
    QList<int> values;
    for (int i = first; i <= last; ++i)
        values.append(i);
    return values;
}

// Runs f and closes every modal dialog it opens; returns the class names of those dialogs.
QStringList closingModals(const std::function<void()>& f)
{
    QStringList seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&seen] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen.append(QString::fromLatin1(modal->metaObject()->className()) + QLatin1Char(':')
                        + modal->windowTitle());
            modal->close();
        }
    });
    poll.start();
    f();
    return seen;
}

// A road of two straights meeting in an arc, written without the document.
bool writeAlignedRoad(const QString& path, double radius)
{
    Pelko::Road::PointOfIntersectionConfiguration pis;
    pis.append(Pelko::Road::PointOfIntersection::createPoint(Pelko::Corvex::Point(0.0, 0.0), 0.0).first);
    pis.append(Pelko::Road::PointOfIntersection::createArc(Pelko::Corvex::Point(300.0, 0.0), radius).first);
    pis.append(Pelko::Road::PointOfIntersection::createPoint(Pelko::Corvex::Point(300.0, 300.0), 0.0).first);
    Pelko::Road::RoadSurface road(path.toLocal8Bit().toStdString());
    road.getHorizontalAligment()->setPointOfIntersections(pis);
    return road.save();
}

int planSamples(const MainWindow& window)
{
    auto* page = qobject_cast<EditModeWidget*>(window.tabWidget()->widget(2));
    return page && page->curve() ? int(page->curve()->plotCurve()->dataSize()) : -1;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString path(const QString& name) const { return QFileInfo(dir.filePath(name)).absoluteFilePath(); }

    // An empty road file made without the document, so the recent list stays as it is.
    QString emptyRoad(const QString& name) const
    {
        const QString file = path(name);
        if (!RoadFiles::write(file, RoadFiles::road("")))
            qWarning("could not write %s", qPrintable(file));
        return file;
    }

    QString title(const QString& file) const
    {
        return QStringLiteral("%1 [%2] - Trelvin").arg(QFileInfo(file).fileName(), QFileInfo(file).path());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        qunsetenv("TRELVIN_PLUGIN_PATH");
        Zemko::Trelvin::initResources();
    }

    void cleanup()
    {
        // A test that failed half-way must not leave the folder failing for the next.
        FileWatch::stop();
        ScriptedPrompter quiet(false);
        Trelvin::instance()->closeRoad();
    }

    void startsWithOnlyTheWelcomePage()
    {
        MainWindow window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Trelvin"));
        Core::Internal::FancyTabWidget* tabs = window.tabWidget();
        QCOMPARE(tabs->count(), 10);
        QCOMPARE(enabledTabs(window), QList<int> { 0 });
        QCOMPARE(tabs->currentIndex(), 0);

        const QStringList labels
            = { "Road Manager",     "Stations Equation", "Horizontal Alignment", "Vertical Alignment",
                "Standard Section", "Widening",          "Superelevation",       "Slope",
                "SlopeLib",         "Structural Object" };
        const QStringList classes = { "WelcomeForm",
                                      "StationsEquationConfigWidget",
                                      "HorizontalAlignmentWidget",
                                      "VerticalAlignmentWidget",
                                      "StandardSectionWidget",
                                      "WideningPointWidget",
                                      "SuperelevationPointWidget",
                                      "SlopeUseLibWidget",
                                      "SlopeLibraryWidget",
                                      "StructuralObjectWidget" };
        const QList<int> categories = { 0, 1, 6, 8, 16, 32, 64, 128, 256, 512 };
        for (int i = 0; i < tabs->count(); ++i) {
            QCOMPARE(tabs->tabBar()->tabText(i), labels.at(i));
            QCOMPARE(tabs->widget(i)->windowTitle(), labels.at(i));
            QCOMPARE(QString::fromLatin1(tabs->widget(i)->metaObject()->className()), classes.at(i));
            QVERIFY(!tabs->tabBar()->tabIcon(i).isNull());
            QCOMPARE(int(window.categoriesOfTabs().value(i)), categories.at(i));
        }
        QVERIFY(!window.categoriesOfTabs().contains(0));
        QCOMPARE(window.currentSlopePage(), tabs->widget(7));
        QCOMPARE(QString::fromLatin1(window.hiddenSlopePage()->metaObject()->className()),
                 QStringLiteral("SlopeWidget"));
        QVERIFY(window.hiddenSlopePage()->isHidden());
        QCOMPARE(window.hiddenSlopePage()->windowTitle(), QStringLiteral("Slope"));

        QCOMPARE(actionTexts(window.menuBar()->actions()), (QStringList { "&File", "Tools", "Help" }));
        QCOMPARE(actionTexts(menu(window, "menuFile")->actions()),
                 (QStringList { "&New", "&Open", "&Save", "", "&Recent", "", "&Exit" }));
        QCOMPARE(actionTexts(menu(window, "menuTools")->actions()),
                 (QStringList { "Check by Coordinate", "Check by Station", "Spiral Calculator" }));
        QCOMPARE(actionTexts(menu(window, "menuHelp")->actions()), QStringList { "About" });
        QCOMPARE(action(window, "actionCheckStation")->toolTip(), QStringLiteral("Check by Station"));
        for (const char* name : { "actionNew", "actionOpen", "actionSave" })
            QVERIFY(!action(window, name)->icon().isNull());

        const QList<QToolBar*> bars = window.findChildren<QToolBar*>();
        QCOMPARE(bars.size(), 2);
        QCOMPARE(bars.at(0)->windowTitle(), QStringLiteral("File ToolBar"));
        QCOMPARE(actionTexts(bars.at(0)->actions()), (QStringList { "&New", "&Open", "&Save" }));
        QCOMPARE(bars.at(1)->windowTitle(), QStringLiteral("Tools ToolBar"));
        QCOMPARE(actionTexts(bars.at(1)->actions()),
                 (QStringList { "Check by Coordinate", "Check by Station" }));
        for (QToolBar* bar : bars)
            QCOMPARE(window.toolBarArea(bar), Qt::TopToolBarArea);

        // No road was opened yet: the recent submenu is there and empty.
        QVERIFY(action(window, "actionRecent")->menu());
        QVERIFY(action(window, "actionRecent")->menu()->actions().isEmpty());
    }

    void newRoadAsksForAFileAndOpensIt()
    {
        MainWindow window;
        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::SaveFile, dir.filePath(QStringLiteral("first")));
        window.onNew();
        const QString first = path(QStringLiteral("first.rod"));
        QVERIFY(QFileInfo::exists(first));
        QCOMPARE(Trelvin::instance()->path(), first);
        QCOMPARE(prompter.calls.size(), 1);
        QCOMPARE(prompter.calls.at(0).title, QStringLiteral("Select Road"));
        QCOMPARE(prompter.calls.at(0).filter, QStringLiteral("*.rod"));
        QCOMPARE(window.windowTitle(), title(first));
        QCOMPARE(window.tabWidget()->currentIndex(), 1);
        QCOMPARE(enabledTabs(window), range(0, 9));
        QCOMPARE(Trelvin::recentPath(), QFileInfo(first).absolutePath());

        // A cancelled dialog leaves the open road as it is; the next dialog starts in its folder.
        prompter.answer(ScriptedPrompter::SaveFile, QString());
        window.onNew();
        QCOMPARE(Trelvin::instance()->path(), first);
        QCOMPARE(prompter.calls.last().text, QFileInfo(first).absolutePath());

        // A name that has a suffix keeps it.
        prompter.answer(ScriptedPrompter::SaveFile, dir.filePath(QStringLiteral("second.road")));
        window.onNew();
        QCOMPARE(Trelvin::instance()->path(), path(QStringLiteral("second.road")));
    }

    void newRoadAsksBeforeReplacingTheFileItAddsTheSuffixTo()
    {
        MainWindow window;
        const QString taken = path(QStringLiteral("taken.rod"));
        const QByteArray content = RoadFiles::road(RoadFiles::equations(120.0, 100.0));
        QVERIFY(RoadFiles::write(taken, content));
        const QString other = emptyRoad(QStringLiteral("other.rod"));
        QVERIFY(Trelvin::instance()->openRoad(other));

        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::SaveFile, dir.filePath(QStringLiteral("taken")));
        prompter.answer(ScriptedPrompter::Question, QMessageBox::No);
        window.onNew();
        QCOMPARE(prompter.calls.last().kind, ScriptedPrompter::Question);
        QVERIFY(prompter.calls.last().text.contains(QDir::toNativeSeparators(taken)));
        QCOMPARE(RoadFiles::read(taken), content);
        QCOMPARE(Trelvin::instance()->path(), other);

        prompter.answer(ScriptedPrompter::SaveFile, dir.filePath(QStringLiteral("taken")));
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Yes);
        window.onNew();
        QCOMPARE(Trelvin::instance()->path(), taken);
        QCOMPARE(Trelvin::instance()->road()->getStationsEquations().getEquationSize(), 0u);
    }

    void failedNewOrOpenSaysSoAndLeavesNoRoad()
    {
        MainWindow window;
        const QString good = emptyRoad(QStringLiteral("good.rod"));
        const QString bad = path(QStringLiteral("bad.rod"));
        QVERIFY(RoadFiles::write(bad, "this is no road"));
        QVERIFY(Trelvin::instance()->openRoad(good));

        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::OpenFile, bad);
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onOpen();
        QCOMPARE(prompter.calls.last().kind, ScriptedPrompter::Critical);
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Open road Failed"));
        QVERIFY(prompter.calls.last().text.contains(QDir::toNativeSeparators(bad)));
        QVERIFY(!Trelvin::instance()->road());
        QCOMPARE(enabledTabs(window), QList<int> { 0 });
        QCOMPARE(window.tabWidget()->currentIndex(), 0);
        QCOMPARE(window.windowTitle(), QStringLiteral("Trelvin"));

        prompter.answer(ScriptedPrompter::OpenFile, path(QStringLiteral("gone.rod")));
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onOpen();
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Road does not exist!"));

        prompter.answer(ScriptedPrompter::SaveFile, dir.filePath(QStringLiteral("no/such/folder/new.rod")));
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onNew();
        QCOMPARE(prompter.calls.last().title, QStringLiteral("New road Failed"));
        QVERIFY(prompter.calls.last().text.contains(QStringLiteral("new.rod")));
        QVERIFY(!Trelvin::instance()->road());

        // Opening the good one again works and names it in the title.
        prompter.answer(ScriptedPrompter::OpenFile, good);
        window.onOpen();
        QCOMPARE(Trelvin::instance()->path(), good);
        QCOMPARE(window.windowTitle(), title(good));
    }

    // New onto a path that cannot be written: the road that was open stays open, with the edits the
    // user chose to keep unsaved.
    void failedNewKeepsTheOpenRoad()
    {
        const QString file = emptyRoad(QStringLiteral("kept.rod"));
        EquationModel model;
        MainWindow window;
        QVERIFY(Trelvin::instance()->openRoad(file));
        model.append(120.0, 100.0);
        const QString unwritable = dir.filePath(QStringLiteral("no/such/folder/new.rod"));

        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Discard);
        prompter.answer(ScriptedPrompter::SaveFile, unwritable);
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onNew();
        QCOMPARE(prompter.calls.last().title, QStringLiteral("New road Failed"));
        QCOMPARE(prompter.calls.last().text,
                 QStringLiteral("%1 could not be written: no such file or folder.")
                     .arg(QDir::toNativeSeparators(unwritable)));
        QCOMPARE(Trelvin::instance()->path(), file);
        QCOMPARE(window.windowTitle(), title(file));
        QCOMPARE(enabledTabs(window), range(0, 9));
        QCOMPARE(model.equations.size(), 1);
        QCOMPARE(Trelvin::instance()->editFlags(), DataType::Categories(DataType::StationsEquation));
        QCOMPARE(modifiedTabs(window), QList<int> { 1 });
    }

    // New onto a FIFO says why, and neither the FIFO nor the open road is touched.
    void newOntoAFifoSaysWhy()
    {
        const QString file = emptyRoad(QStringLiteral("open.rod"));
        MainWindow window;
        QVERIFY(Trelvin::instance()->openRoad(file));
        const QString fifo = path(QStringLiteral("pipe.rod"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::SaveFile, fifo);
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onNew();
        QCOMPARE(prompter.calls.last().title, QStringLiteral("New road Failed"));
        QCOMPARE(prompter.calls.last().text,
                 QStringLiteral("%1 is not a regular file; the road was not saved over it.")
                     .arg(QDir::toNativeSeparators(fifo)));
        struct stat info;
        QVERIFY(::stat(QFile::encodeName(fifo).constData(), &info) == 0 && S_ISFIFO(info.st_mode));
        QCOMPARE(Trelvin::instance()->path(), file);
        QCOMPARE(window.windowTitle(), title(file));
    }

    // Through a link, the refusal names where the link leads.
    void newOntoALinkToAFifoSaysWhereItLeads()
    {
        const QString file = emptyRoad(QStringLiteral("open.rod"));
        MainWindow window;
        QVERIFY(Trelvin::instance()->openRoad(file));
        const QString fifo = path(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString link = path(QStringLiteral("link.rod"));
        QCOMPARE(::symlink("pipe", QFile::encodeName(link).constData()), 0);

        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::SaveFile, link);
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onNew();
        QCOMPARE(prompter.calls.last().text,
                 QStringLiteral("%1 (a link to %2) is not a regular file; the road was not saved over it.")
                     .arg(QDir::toNativeSeparators(link), QDir::toNativeSeparators(fifo)));
        QCOMPARE(Trelvin::instance()->path(), file);
    }

    void closingReturnsToTheWelcomePage()
    {
        MainWindow window;
        QVERIFY(Trelvin::instance()->openRoad(emptyRoad(QStringLiteral("closing.rod"))));
        window.onClose();
        QVERIFY(!Trelvin::instance()->road());
        QCOMPARE(window.tabWidget()->currentIndex(), 0);
        QCOMPARE(enabledTabs(window), QList<int> { 0 });
        QCOMPARE(window.windowTitle(), QStringLiteral("Trelvin"));
    }

    void editFlagsMarkTheirTabs()
    {
        MainWindow window;
        QVERIFY(Trelvin::instance()->openRoad(emptyRoad(QStringLiteral("flags.rod"))));
        Trelvin* document = Trelvin::instance();
        const QHash<int, DataType::Categories> categories = window.categoriesOfTabs();
        for (int bit = 1; bit <= 512; bit <<= 1) {
            document->setEditFlags(DataType::Categories(bit), true);
            QList<int> expected;
            for (auto it = categories.cbegin(); it != categories.cend(); ++it)
                if (it.value() & DataType::Categories(bit))
                    expected.append(it.key());
            QCOMPARE(modifiedTabs(window), expected);
            document->setEditFlags(DataType::Categories(bit), false);
            QVERIFY(modifiedTabs(window).isEmpty());
        }
        document->setEditFlags(DataType::PointOfIntersection | DataType::Slope, true);
        QCOMPARE(modifiedTabs(window), (QList<int> { 2, 7 }));
        document->setEditFlags(DataType::PointOfIntersection, false);
        QCOMPARE(modifiedTabs(window), QList<int> { 7 });
        document->closeRoad();
        QVERIFY(modifiedTabs(window).isEmpty());
    }

    void pendingEditsAskBeforeTheWindowCloses()
    {
        const QString file = emptyRoad(QStringLiteral("edited.rod"));
        const QByteArray before = RoadFiles::read(file);
        EquationModel model;
        MainWindow window;
        window.show();
        QVERIFY(Trelvin::instance()->openRoad(file));
        model.append(120.0, 100.0);
        QCOMPARE(modifiedTabs(window), QList<int> { 1 });

        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Cancel);
        QVERIFY(!window.close());
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Data Changed"));
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Road has been edited, save or discard?"));
        QCOMPARE(model.writes, 0);
        QVERIFY(window.isVisible());

        // A save that fails says so and closes nothing: the edits are still there to be saved.
        model.failWrites = true;
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Save);
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        QVERIFY(!window.close());
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Save failed"));
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Save road failed!"));
        QVERIFY(window.isVisible());
        QCOMPARE(Trelvin::instance()->path(), file);
        QCOMPARE(model.equations.size(), 1);
        QCOMPARE(RoadFiles::read(file), before);

        model.failWrites = false;
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Save);
        QVERIFY(window.close());
        QVERIFY(!window.isVisible());
        // The window does not close the road itself.
        QCOMPARE(Trelvin::instance()->path(), file);
        Pelko::Road::RoadSurface saved(file.toLocal8Bit().toStdString());
        QVERIFY(saved.load());
        QCOMPARE(saved.getStationsEquations().getEquationSize(), 1u);

        window.show();
        model.append(300.0, 290.0);
        const QByteArray once = RoadFiles::read(file);
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Discard);
        QVERIFY(window.close());
        QCOMPARE(RoadFiles::read(file), once);
    }

    void pendingEditsAskBeforeAnotherRoadOpens()
    {
        const QString first = emptyRoad(QStringLiteral("pending-a.rod"));
        const QString second = emptyRoad(QStringLiteral("pending-b.rod"));
        EquationModel model;
        MainWindow window;
        QVERIFY(Trelvin::instance()->openRoad(first));
        model.append(120.0, 100.0);

        ScriptedPrompter prompter;
        // Cancel: no file dialog, nothing closed.
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Cancel);
        window.onOpen();
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Cancel);
        window.onNew();
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Cancel);
        window.openRoad(second);
        QCOMPARE(prompter.count(ScriptedPrompter::Question), 3);
        QCOMPARE(prompter.calls.size(), 3);
        QCOMPARE(Trelvin::instance()->path(), first);
        QCOMPARE(model.equations.size(), 1);

        // A failing save keeps the road and its edits.
        model.failWrites = true;
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Save);
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.openRoad(second);
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Save road failed!"));
        QCOMPARE(Trelvin::instance()->path(), first);
        QCOMPARE(model.equations.size(), 1);

        // Discard opens the other road and drops the edits.
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Discard);
        window.openRoad(second);
        QCOMPARE(Trelvin::instance()->path(), second);
        QVERIFY(model.equations.isEmpty());
        QCOMPARE(int(Trelvin::instance()->editFlags()), 0);
    }

    void saveReportsAFailure()
    {
        MainWindow window;
        ScriptedPrompter prompter;
        window.onSave();
        QVERIFY(prompter.calls.isEmpty());

        EquationModel model;
        QVERIFY(Trelvin::instance()->openRoad(emptyRoad(QStringLiteral("saving.rod"))));
        model.append(50.0, 40.0);
        model.failWrites = true;
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onSave();
        QCOMPARE(prompter.calls.size(), 1);
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Save failed"));
        QCOMPARE(modifiedTabs(window), QList<int> { 1 });

        model.failWrites = false;
        window.onSave();
        QCOMPARE(prompter.calls.size(), 1);
        QVERIFY(modifiedTabs(window).isEmpty());
    }

    // A page whose write fails after its check passed: the other pages' edits reach the file, and the
    // box says which were saved and which were not.
    void aFailedWriteSaysWhatWasSaved()
    {
        MainWindow window;
        const QString file = emptyRoad(QStringLiteral("partly.rod"));
        QVERIFY(Trelvin::instance()->openRoad(file));
        EquationModel equations;
        EquationModel failing(DataType::StructuralObject);
        equations.append(50.0, 40.0);
        failing.append(1.0, 2.0);
        failing.failWrites = true;

        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onSave();
        QCOMPARE(prompter.calls.last().text,
                 QStringLiteral("Save road failed!\nThe edits of Stations Equation were saved; those of "
                                "Structural Object were not."));
        QCOMPARE(modifiedTabs(window), QList<int> { 9 });
        Pelko::Road::RoadSurface saved(file.toLocal8Bit().toStdString());
        QVERIFY(saved.load());
        QCOMPARE(saved.getStationsEquations().getEquationSize(), 1u);
    }

    // A road file replaced by a folder: the box says why and the edits stay unsaved. A folder that
    // cannot be synced: the box says so, but the file holds the edits and nothing stays marked.
    void aFailedFileWriteSaysWhy()
    {
        const QString file = emptyRoad(QStringLiteral("why.rod"));
        EquationModel model;
        MainWindow window;
        QVERIFY(Trelvin::instance()->openRoad(file));
        model.append(50.0, 40.0);
        QVERIFY(QFile::remove(file));
        QVERIFY(QDir().mkdir(file));

        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onSave();
        QCOMPARE(
            prompter.calls.last().text,
            QStringLiteral("Save road failed!\n%1 is not a regular file; the road was not saved over it.")
                .arg(QDir::toNativeSeparators(file)));
        QVERIFY(QFileInfo(file).isDir());
        QCOMPARE(modifiedTabs(window), QList<int> { 1 });

        QVERIFY(QDir().rmdir(file));
        QVERIFY(RoadFiles::write(file, RoadFiles::road("")));
        FileWatch::start(dir.path().toStdString(), true);
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onSave();
        FileWatch::stop();
        QCOMPARE(prompter.calls.last().text,
                 QStringLiteral("Save road failed!\n%1 was written, but its folder could not be synced "
                                "(input/output error): until it is written again, a crash may lose it.")
                     .arg(QDir::toNativeSeparators(file)));
        QVERIFY(modifiedTabs(window).isEmpty());
        Pelko::Road::RoadSurface saved(file.toLocal8Bit().toStdString());
        QVERIFY(saved.load());
        QCOMPARE(saved.getStationsEquations().getEquationSize(), 1u);
    }

    // A full disk and a file standing where a folder should be: the boxes of the save and of File >
    // New give the system's reason.
    void aFailedWriteNamesTheSystemsReason()
    {
        const QString file = emptyRoad(QStringLiteral("full.rod"));
        EquationModel model;
        MainWindow window;
        QVERIFY(Trelvin::instance()->openRoad(file));
        model.append(50.0, 40.0);

        ScriptedPrompter prompter;
        FileWatch::start(dir.path().toStdString());
        FileWatch::setFreeSpace(0);
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onSave();
        FileWatch::stop();
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Save failed"));
        QCOMPARE(prompter.calls.last().text,
                 QStringLiteral("Save road failed!\n%1 could not be written: no space left on the device.")
                     .arg(QDir::toNativeSeparators(file)));
        QCOMPARE(modifiedTabs(window), QList<int> { 1 });

        const QString inside = file + QStringLiteral("/new.rod");
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Discard);
        prompter.answer(ScriptedPrompter::SaveFile, inside);
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onNew();
        QCOMPARE(prompter.calls.last().title, QStringLiteral("New road Failed"));
        QCOMPARE(
            prompter.calls.last().text,
            QStringLiteral("%1 could not be written: not a folder.").arg(QDir::toNativeSeparators(inside)));
        QCOMPARE(Trelvin::instance()->path(), file);
    }

    // A folder the user may write but not read cannot be synced by any save: the user hears it once,
    // as a warning without "Save again", and Exit goes on with the road saved.
    void aFolderThatCannotBeSyncedIsToldOnceAndHoldsNothingUp()
    {
        const QString file = emptyRoad(QStringLiteral("unsyncable.rod"));
        EquationModel model;
        MainWindow window;
        window.show();
        QVERIFY(Trelvin::instance()->openRoad(file));
        model.append(50.0, 40.0);

        ScriptedPrompter prompter;
        FileWatch::start(dir.path().toStdString());
        FileWatch::failFolderOpen(EACCES);
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
        window.onSave();
        QCOMPARE(prompter.calls.size(), 1);
        QCOMPARE(prompter.calls.last().kind, ScriptedPrompter::Warning);
        QCOMPARE(prompter.calls.last().text,
                 QStringLiteral("%1 was written, but its folder %2 could not be synced, as it may be written "
                                "but not read: a crash soon after may lose the new file. Saves into this "
                                "folder go on without syncing it.")
                     .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(dir.path())));
        QVERIFY(modifiedTabs(window).isEmpty());

        model.append(300.0, 290.0);
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Save);
        const bool closed = window.close();
        FileWatch::stop();
        QVERIFY(closed);
        QCOMPARE(prompter.calls.size(), 2);
        QCOMPARE(prompter.calls.last().kind, ScriptedPrompter::Question);
        Pelko::Road::RoadSurface saved(file.toLocal8Bit().toStdString());
        QVERIFY(saved.load());
        QCOMPARE(saved.getStationsEquations().getEquationSize(), 2u);
    }

    void recentSubmenuOpensItsRoads()
    {
        MainWindow window;
        const QString a = emptyRoad(QStringLiteral("recent-a.rod"));
        const QString b = emptyRoad(QStringLiteral("recent-b.rod"));
        QVERIFY(Trelvin::instance()->openRoad(a));
        QVERIFY(Trelvin::instance()->openRoad(b));
        QMenu* recent = action(window, "actionRecent")->menu();
        QCOMPARE(actionTexts(recent->actions()).mid(0, 2), (QStringList { b, a }));

        // The submenu's click ends before the road changes.
        recent->actions().at(1)->trigger();
        QCOMPARE(Trelvin::instance()->path(), b);
        QTRY_COMPARE(Trelvin::instance()->path(), a);
        QCOMPARE(actionTexts(recent->actions()).mid(0, 2), (QStringList { a, b }));

        // The open road again only brings its first page forward.
        QSignalSpy closing(Trelvin::instance(), &Trelvin::onRoadAboutToClose);
        window.tabWidget()->setCurrentIndex(0);
        recent->actions().at(0)->trigger();
        QTRY_COMPARE(window.tabWidget()->currentIndex(), 1);
        QCOMPARE(closing.count(), 0);

        // A listed road that has gone from the disk: the open one is closed and the user told.
        QVERIFY(QFile::remove(b));
        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.openRoad(b);
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Open road Failed"));
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Road does not exist!"));
        QVERIFY(!Trelvin::instance()->road());
    }

    void welcomePageButtonsRunTheFlows()
    {
        MainWindow window;
        QWidget* welcome = window.tabWidget()->widget(0);
        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::SaveFile, QString());
        welcome->findChild<QToolButton*>(QStringLiteral("toolButtonNew"))->click();
        QCOMPARE(prompter.count(ScriptedPrompter::SaveFile), 1);
        prompter.answer(ScriptedPrompter::OpenFile, QString());
        welcome->findChild<QToolButton*>(QStringLiteral("toolButtonOpen"))->click();
        QCOMPARE(prompter.count(ScriptedPrompter::OpenFile), 1);

        const QString road = emptyRoad(QStringLiteral("welcome.rod"));
        QVERIFY(Trelvin::instance()->openRoad(road));
        Trelvin::instance()->closeRoad();
        QCommandLinkButton* link = nullptr;
        const auto links = welcome->findChildren<QCommandLinkButton*>();
        for (QCommandLinkButton* button : links)
            if (!button->isHidden() && button->description() == road)
                link = button;
        QVERIFY(link);
        link->click();
        QTRY_COMPARE(Trelvin::instance()->path(), road);
        QCOMPARE(window.tabWidget()->currentIndex(), 1);
    }

    void toolsOpenTheirDialogs()
    {
        MainWindow window;
        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        QVERIFY(closingModals([&] { window.onCheck(); }).isEmpty());
        QVERIFY(closingModals([&] { window.onCheckStation(); }).isEmpty());
        QCOMPARE(prompter.calls.size(), 2);
        for (const ScriptedPrompter::Call& call : qAsConst(prompter.calls)) {
            QCOMPARE(call.title, QStringLiteral("Import Failed"));
            QCOMPARE(call.text, QStringLiteral("No open rod"));
        }
        // The calculator needs no road.
        QCOMPARE(closingModals([&] { action(window, "actionSpiralCalculator")->trigger(); }),
                 QStringList { "SpiralCalculatorDialog:SpiralCalculator" });

        QVERIFY(Trelvin::instance()->openRoad(emptyRoad(QStringLiteral("tools.rod"))));
        QCOMPARE(closingModals([&] { action(window, "actionCheck")->trigger(); }),
                 QStringList { "RoadCheckDialog:Check" });
        QCOMPARE(closingModals([&] { action(window, "actionCheckStation")->trigger(); }),
                 QStringList { "StationCheckDialog:Check by Station" });
        QCOMPARE(prompter.calls.size(), 2);
    }

    void changedDataReachesThePages()
    {
        const QString file = path(QStringLiteral("aligned.rod"));
        QVERIFY(writeAlignedRoad(file, 100.0));
        MainWindow window;
        QCOMPARE(planSamples(window), 0);
        QVERIFY(Trelvin::instance()->openRoad(file));
        // The plan's page is out of sight: its plan waits until the page shows.
        QCOMPARE(planSamples(window), 0);
        window.tabWidget()->setCurrentIndex(2);
        window.show();
        const int opened = planSamples(window);
        QVERIFY(opened > 4);

        // The road changes under the pages; only the announcement redraws the plan.
        Pelko::Road::PointOfIntersectionConfiguration straight;
        straight.append(Pelko::Road::PointOfIntersection::createPoint(Pelko::Corvex::Point(0, 0), 0).first);
        straight.append(Pelko::Road::PointOfIntersection::createPoint(Pelko::Corvex::Point(500, 0), 0).first);
        Trelvin::instance()->road()->getHorizontalAligment()->setPointOfIntersections(straight);
        QCOMPARE(planSamples(window), opened);
        Trelvin::instance()->notifyDataChanged(DataType::PointOfIntersection);
        QVERIFY(planSamples(window) > 0);
        QVERIFY(planSamples(window) < opened);
    }
};

TRELVIN_TEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
