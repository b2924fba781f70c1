#include "document/trelvin.h"
#include "framework/crosssectioneditcache.h"
#include "support/equationmodel.h"
#include "support/roadfiles.h"

#include <road/roadsurface.h>
#include <road/standardsection.h>
#include <road/station.h>

#include <asuser.h>
#include <filewatch.h>
#include <qttestmain.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

#include <sys/xattr.h>

using Zemko::Trelvin::CrossSectionEditCache;
using Zemko::Trelvin::Trelvin;

namespace {

QStringList settingsRecent()
{
    QSettings settings(QStringLiteral("Zemko"), QStringLiteral("Trelvin"));
    QStringList paths;
    const int size = settings.beginReadArray(QStringLiteral("RecentRoads"));
    for (int i = 0; i < size; ++i) {
        settings.setArrayIndex(i);
        paths.append(settings.value(QStringLiteral("Path")).toString());
    }
    settings.endArray();
    return paths;
}

// Every signal of the document, counted.
struct DocumentSpies
{
    explicit DocumentSpies(Trelvin* document)
        : open(document, &Trelvin::onRoadOpen)
        , aboutToClose(document, &Trelvin::onRoadAboutToClose)
        , data(document, &Trelvin::dataChanged)
        , flags(document, &Trelvin::editFlagsChanged)
        , recent(document, &Trelvin::recentChanged)
        , aboutToSave(document, &Trelvin::aboutToSaveRoad)
        , lib(document, &Trelvin::libUpdate)
    {
    }
    int total() const
    {
        return open.count() + aboutToClose.count() + data.count() + flags.count() + recent.count()
            + aboutToSave.count() + lib.count();
    }

    QSignalSpy open;
    QSignalSpy aboutToClose;
    QSignalSpy data;
    QSignalSpy flags;
    QSignalSpy recent;
    QSignalSpy aboutToSave;
    QSignalSpy lib;
};

double firstEquationBefore(const QString& path)
{
    Pelko::Road::RoadSurface road(path.toLocal8Bit().toStdString());
    if (!road.load() || road.getStationsEquations().getEquationSize() == 0)
        return qQNaN();
    return road.getStationsEquations().getEquationAt(0).getBefore();
}

} // namespace

class DocumentTest : public QObject
{
    Q_OBJECT

private:
    Trelvin* document = nullptr;
    std::unique_ptr<QTemporaryDir> dir;

    QString file(const QString& name) const { return dir->filePath(name); }
    QString roadFile(const QString& name, double before = 160, double after = 150) const
    {
        const QString path = file(name);
        RoadFiles::write(path, RoadFiles::road(RoadFiles::equations(before, after)));
        return path;
    }

private slots:
    void initTestCase()
    {
        document = Trelvin::instance();
        CrossSectionEditCache::instance();
    }

    void init() { dir = std::make_unique<QTemporaryDir>(); }

    void cleanup()
    {
        FileWatch::stop();
        document->closeRoad();
        QDir::setCurrent(QDir::homePath());
        // Let the watcher report the removed files here rather than during the next test.
        dir.reset();
        QTest::qWait(100);
    }

    void openAnnouncesTheRoadAndCloseLetsHandlersStillReachIt()
    {
        const QString path = roadFile(QStringLiteral("a.rod"));
        DocumentSpies spies(document);
        QVERIFY(document->openRoad(path));
        QCOMPARE(spies.open.count(), 1);
        QCOMPARE(spies.recent.count(), 1);
        QCOMPARE(document->path(), path);
        QVERIFY(document->road());
        QCOMPARE(document->road()->getStationsEquations().getEquationSize(), 1u);
        QCOMPARE(document->recentRoads().value(0), path);

        bool roadDuringClose = false;
        QString pathDuringClose = QStringLiteral("unset");
        auto connection = connect(document, &Trelvin::onRoadAboutToClose, this, [&] {
            roadDuringClose = document->road() != nullptr;
            pathDuringClose = document->path();
        });
        document->closeRoad();
        disconnect(connection);
        QCOMPARE(spies.aboutToClose.count(), 1);
        QVERIFY(roadDuringClose);
        QVERIFY(pathDuringClose.isEmpty());
        QVERIFY(!document->road());
        QVERIFY(document->path().isEmpty());

        // Closing again has nothing to announce.
        document->closeRoad();
        QCOMPARE(spies.aboutToClose.count(), 1);
    }

    void oneFileUnderTwoSpellingsIsOneRoad()
    {
        const QString path = roadFile(QStringLiteral("a.rod"));
        QDir(dir->path()).mkdir(QStringLiteral("sub"));
        QVERIFY(document->openRoad(path));
        DocumentSpies spies(document);

        QVERIFY(document->openRoad(path));
        QVERIFY(document->openRoad(dir->path() + QStringLiteral("/sub/../a.rod")));
        QDir::setCurrent(dir->path());
        QVERIFY(document->openRoad(QStringLiteral("a.rod")));
        QVERIFY(document->openRoad(QStringLiteral("./a.rod")));
        QCOMPARE(spies.total(), 0);
        QCOMPARE(document->path(), path);
        QCOMPARE(document->recentRoads().count(path), 1);

        // A relative path is kept absolute, so it still names the file after the folder changes.
        document->closeRoad();
        QVERIFY(document->openRoad(QStringLiteral("a.rod")));
        QCOMPARE(document->path(), path);
        QCOMPARE(document->recentRoads().value(0), path);
    }

    void unreadableFilesAreRefusedAndLeaveNoRoad_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("version 5") << QByteArray("<Road><Version>5</Version></Road>");
        QTest::newRow("garbage") << QByteArray("\x01\x02 not a road <<<");
        QTest::newRow("other root") << QByteArray(
            "<?xml version=\"1.0\"?><Street><Version>4</Version></Street>");
        QTest::newRow("empty") << QByteArray();
    }

    void unreadableFilesAreRefusedAndLeaveNoRoad()
    {
        QFETCH(QByteArray, content);
        const QString good = roadFile(QStringLiteral("good.rod"));
        const QString bad = file(QStringLiteral("bad.rod"));
        QVERIFY(RoadFiles::write(bad, content));

        QVERIFY(document->openRoad(good));
        const QStringList recent = document->recentRoads();
        DocumentSpies spies(document);
        QVERIFY(!document->openRoad(bad));
        // The previous road was closed before the attempt.
        QCOMPARE(spies.aboutToClose.count(), 1);
        QCOMPARE(spies.open.count(), 0);
        QCOMPARE(spies.recent.count(), 0);
        QVERIFY(!document->road());
        QVERIFY(document->path().isEmpty());
        QCOMPARE(document->recentRoads(), recent);
        QCOMPARE(RoadFiles::read(bad), content);
    }

    void emptyAndMissingPaths()
    {
        DocumentSpies spies(document);
        QVERIFY(document->openRoad(QString()));
        QCOMPARE(spies.total(), 0);

        QVERIFY(!document->openRoad(file(QStringLiteral("missing.rod"))));
        QVERIFY(!QFile::exists(file(QStringLiteral("missing.rod"))));

        QVERIFY(document->openRoad(roadFile(QStringLiteral("a.rod"))));
        QVERIFY(!document->openRoad(QString()));
        QVERIFY(!document->road());
        QVERIFY(!document->createRoad(QString()));
    }

    void createWritesAnEmptyRoadAndOpensIt()
    {
        const QString open = roadFile(QStringLiteral("open.rod"));
        QVERIFY(document->openRoad(open));

        // A file that cannot be written changes nothing.
        DocumentSpies refused(document);
        QVERIFY(!document->createRoad(file(QStringLiteral("no/such/folder/new.rod"))));
        QCOMPARE(refused.total(), 0);
        QCOMPARE(document->path(), open);

        const QString created = file(QStringLiteral("new.rod"));
        DocumentSpies spies(document);
        QVERIFY(document->createRoad(created));
        QCOMPARE(spies.aboutToClose.count(), 1);
        QCOMPARE(spies.open.count(), 1);
        QCOMPARE(document->path(), created);
        QCOMPARE(document->road()->getStationsEquations().getEquationSize(), 0u);
        QVERIFY(Pelko::Road::RoadSurface(created.toStdString()).load());
        QCOMPARE(document->recentRoads().mid(0, 2), QStringList({ created, open }));
    }

    void createOverTheOpenRoadShowsTheNewEmptyRoad()
    {
        const QString path = roadFile(QStringLiteral("a.rod"));
        QVERIFY(document->openRoad(path));
        DocumentSpies spies(document);
        QVERIFY(document->createRoad(path));
        QCOMPARE(spies.aboutToClose.count(), 1);
        QCOMPARE(spies.open.count(), 1);
        QCOMPARE(document->road()->getStationsEquations().getEquationSize(), 0u);
        QVERIFY(qIsNaN(firstEquationBefore(path)));
    }

    void saveWritesTheRoad()
    {
        QVERIFY(document->save());

        const QString path = roadFile(QStringLiteral("a.rod"));
        QVERIFY(document->openRoad(path));
        Pelko::Road::StationsEquationConfiguration equations;
        equations.appendEquation(Pelko::Road::StationsEquation(500, 480));
        document->road()->setStationsEquations(equations);
        QSignalSpy aboutToSave(document, &Trelvin::aboutToSaveRoad);
        QVERIFY(document->save());
        QCOMPARE(aboutToSave.count(), 1);
        QCOMPARE(firstEquationBefore(path), 500.0);
    }

    void editFlagsAreAnnouncedWholeAndCloseClearsThemAloud()
    {
        QVERIFY(document->openRoad(roadFile(QStringLiteral("a.rod"))));
        QSignalSpy flags(document, &Trelvin::editFlagsChanged);
        document->setEditFlags(DataType::HorizontalElement, true);
        document->setEditFlags(DataType::HorizontalElement, true);
        document->setEditFlags(DataType::Slope, true);
        document->setEditFlags(DataType::HorizontalElement, false);
        QCOMPARE(flags.count(), 4);
        QCOMPARE(flags.at(0).at(0).value<DataType::Categories>(),
                 DataType::Categories(DataType::HorizontalElement));
        QCOMPARE(flags.at(1).at(0).value<DataType::Categories>(),
                 DataType::Categories(DataType::HorizontalElement));
        QCOMPARE(flags.at(2).at(0).value<DataType::Categories>(),
                 DataType::HorizontalElement | DataType::Slope);
        QCOMPARE(flags.at(3).at(0).value<DataType::Categories>(), DataType::Categories(DataType::Slope));

        flags.clear();
        document->closeRoad();
        QCOMPARE(document->editFlags(), DataType::Categories());
        QCOMPARE(flags.count(), 1);
        QCOMPARE(flags.at(0).at(0).value<DataType::Categories>(), DataType::Categories());

        // Nothing changes, nothing is said.
        flags.clear();
        QVERIFY(document->openRoad(roadFile(QStringLiteral("b.rod"))));
        document->closeRoad();
        QCOMPARE(flags.count(), 0);
    }

    void notifications()
    {
        DocumentSpies spies(document);
        document->notifyDataChanged(DataType::VerticalAlignment | DataType::Slope);
        document->notifyLibUpdate();
        QCOMPARE(spies.data.count(), 1);
        QCOMPARE(spies.data.at(0).at(0).value<DataType::Categories>(),
                 DataType::VerticalAlignment | DataType::Slope);
        QCOMPARE(spies.lib.count(), 1);
        QVERIFY(!document->isSlopeLibraryAvailable());
    }

    void aFailedWriteLeavesTheFileAndTheFlag()
    {
        const QString path = roadFile(QStringLiteral("a.rod"));
        QVERIFY(document->openRoad(path));
        EquationModel model;
        model.reload();
        QCOMPARE(model.rowCount(), 1);
        model.append(900, 880);
        QVERIFY(model.hasUnwrittenEdits());
        QCOMPARE(document->editFlags(), DataType::Categories(DataType::StationsEquation));

        const QByteArray before = RoadFiles::read(path);
        model.failWrites = true;
        QVERIFY(!document->save());
        QCOMPARE(RoadFiles::read(path), before);
        QCOMPARE(document->editFlags(), DataType::Categories(DataType::StationsEquation));
        QVERIFY(model.hasUnwrittenEdits());
        QVERIFY(!model.applyChanges());
        QCOMPARE(document->editFlags(), DataType::Categories(DataType::StationsEquation));

        model.failWrites = false;
        QVERIFY(document->save());
        QVERIFY(!model.hasUnwrittenEdits());
        QCOMPARE(document->editFlags(), DataType::Categories());
        Pelko::Road::RoadSurface reread(path.toStdString());
        QVERIFY(reread.load());
        QCOMPARE(reread.getStationsEquations().getEquationSize(), 2u);
    }

    // A folder the user may not write: the document says so in the system's words.
    void aRefusedWriteSaysPermissionDenied()
    {
        QVERIFY(QFile::setPermissions(dir->path(),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                          | QFileDevice::ReadOther | QFileDevice::ExeOther));
        const QString path = file(QStringLiteral("denied.rod"));
        const auto result = AsUser::run(1500, 1500, {}, [&path]() {
            Trelvin denied;
            return denied.createRoad(path) ? std::string("created") : denied.fileErrorText().toStdString();
        });
        if (!result)
            QSKIP("cannot switch to an ordinary user");
        QCOMPARE(QString::fromStdString(*result),
                 QStringLiteral("%1 could not be written: permission denied.")
                     .arg(QDir::toNativeSeparators(path)));
        QVERIFY(!QFile::exists(path));
    }

    // Attributes that cannot be carried over leave the file to its owner: a save that is done, with
    // news for the user.
    void attributesNotKeptAreNews()
    {
        const QString path = roadFile(QStringLiteral("tagged.rod"));
        const QByteArray name = QFile::encodeName(path);
        if (::setxattr(name.constData(), "user.origin", "survey", 6, 0) != 0)
            QSKIP("no user attributes here");
        QVERIFY(document->openRoad(path));
        FileWatch::start(QFile::encodeName(QFileInfo(dir->path()).canonicalFilePath()).toStdString());
        FileWatch::failAttributes(ENOTSUP);
        const bool saved = document->writeRoad();
        FileWatch::stop();
        QVERIFY(saved);
        QCOMPARE(document->writeFailureText(saved),
                 QStringLiteral("%1 was written, but the access list or extended attributes of the file it "
                                "replaced could not be carried over (operation not supported): the file now "
                                "allows its owner alone.")
                     .arg(QDir::toNativeSeparators(path)));
        QCOMPARE(QFileInfo(path).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                 QFileDevice::Permissions());
    }

    void saveWritesOnlyModelsHoldingEdits()
    {
        const QString path = roadFile(QStringLiteral("a.rod"));
        QVERIFY(document->openRoad(path));
        EquationModel stale;
        stale.reload();
        EquationModel edited(DataType::SlopeLibrary);

        // Another page writes the equations into the road; the stale copy must not overwrite them.
        Pelko::Road::StationsEquationConfiguration equations;
        equations.appendEquation(Pelko::Road::StationsEquation(700, 690));
        document->road()->setStationsEquations(equations);
        QVERIFY(document->save());
        QCOMPARE(stale.writes, 0);
        QCOMPARE(edited.writes, 0);
        QCOMPARE(firstEquationBefore(path), 700.0);

        edited.append(800, 790);
        QVERIFY(document->save());
        QCOMPARE(stale.writes, 0);
        QCOMPARE(edited.writes, 1);
        QCOMPARE(firstEquationBefore(path), 800.0);

        // A clean model writes on an explicit Apply.
        QVERIFY(stale.applyChanges());
        QCOMPARE(stale.writes, 1);
        QCOMPARE(document->road()->getStationsEquations().getEquationAt(0).getBefore(), 160.0);
    }

    void aSharedCategoryStaysMarkedWhileAnyModelHoldsEdits()
    {
        QVERIFY(document->openRoad(roadFile(QStringLiteral("a.rod"))));
        EquationModel list(DataType::SlopeLibrary);
        EquationModel elements(DataType::SlopeLibrary);
        auto other = std::make_unique<EquationModel>(DataType::Slope);
        list.append(1, 1);
        elements.append(2, 2);
        other->append(3, 3);
        QCOMPARE(document->editFlags(), DataType::SlopeLibrary | DataType::Slope);

        QVERIFY(list.applyChanges());
        QCOMPARE(document->editFlags(), DataType::SlopeLibrary | DataType::Slope);
        elements.reload();
        QCOMPARE(document->editFlags(), DataType::Categories(DataType::Slope));

        // Edits of a model that is gone cannot be written and must not block saving.
        other.reset();
        QCOMPARE(document->editFlags(), DataType::Categories());
    }

    void resetsOtherThanReloadKeepTheMark()
    {
        QVERIFY(document->openRoad(roadFile(QStringLiteral("a.rod"))));
        EquationModel model;
        model.append(900, 880);
        model.resetView();
        QVERIFY(model.hasUnwrittenEdits());
        QCOMPARE(document->editFlags(), DataType::Categories(DataType::StationsEquation));

        // Closing reloads from the road as it goes, dropping the pending edit.
        const int loads = model.loads;
        document->closeRoad();
        QCOMPARE(model.loads, loads + 1);
        QVERIFY(!model.hasUnwrittenEdits());
        QCOMPARE(model.equations, decltype(model.equations)({ { 160, 150 } }));
    }

    void recentListKeepsTenNewestFirst()
    {
        QStringList paths;
        for (int i = 0; i < 11; ++i)
            paths.append(roadFile(QStringLiteral("r%1.rod").arg(i)));
        QSignalSpy recentChanged(document, &Trelvin::recentChanged);
        for (const QString& path : paths)
            QVERIFY(document->openRoad(path));
        QCOMPARE(recentChanged.count(), 11);

        QStringList expected;
        for (int i = 10; i >= 1; --i)
            expected.append(paths.at(i));
        QCOMPARE(document->recentRoads(), expected);
        QCOMPARE(settingsRecent(), expected);

        // Reopening a listed road moves it to the front, once.
        QVERIFY(document->openRoad(paths.at(4)));
        expected.removeAll(paths.at(4));
        expected.prepend(paths.at(4));
        QCOMPARE(document->recentRoads(), expected);
        QCOMPARE(settingsRecent(), expected);

        // Opening the newest road again leaves the list as it is.
        document->closeRoad();
        recentChanged.clear();
        QVERIFY(document->openRoad(paths.at(4)));
        QCOMPARE(recentChanged.count(), 0);
        QCOMPARE(document->recentRoads(), expected);
        QCOMPARE(settingsRecent(), expected);

        // The dropped road is no longer watched: deleting it announces nothing.
        recentChanged.clear();
        QVERIFY(QFile::remove(paths.at(0)));
        QTest::qWait(200);
        QCOMPARE(recentChanged.count(), 0);
    }

    void aRecentRoadDeletedWhileRunningLeavesTheList()
    {
        const QString kept = roadFile(QStringLiteral("kept.rod"));
        const QString gone = roadFile(QStringLiteral("gone.rod"));
        const QString saved = roadFile(QStringLiteral("saved.rod"));
        QVERIFY(document->openRoad(kept));
        QVERIFY(document->openRoad(gone));
        QVERIFY(document->openRoad(saved));

        QSignalSpy recentChanged(document, &Trelvin::recentChanged);
        QVERIFY(QFile::remove(gone));
        QTRY_COMPARE(recentChanged.count(), 1);
        QVERIFY(!document->recentRoads().contains(gone));
        QVERIFY(!settingsRecent().contains(gone));
        QVERIFY(document->recentRoads().contains(kept));

        // Saving puts a new file in place of the watched one; it is still watched afterwards.
        QVERIFY(document->save());
        QTest::qWait(200);
        QCOMPARE(recentChanged.count(), 1);
        QVERIFY(document->recentRoads().contains(saved));
        document->closeRoad();
        QVERIFY(QFile::remove(saved));
        QTRY_COMPARE(recentChanged.count(), 2);
        QVERIFY(!document->recentRoads().contains(saved));
        QVERIFY(!settingsRecent().contains(saved));
    }

    void recentListAtStartKeepsExistingFilesOnly()
    {
        const QString first = roadFile(QStringLiteral("first.rod"));
        const QString second = roadFile(QStringLiteral("second.rod"));
        {
            QSettings settings(QStringLiteral("Zemko"), QStringLiteral("Trelvin"));
            settings.remove(QStringLiteral("RecentRoads"));
            settings.beginWriteArray(QStringLiteral("RecentRoads"));
            const QStringList stored
                = { first, file(QStringLiteral("missing.rod")), QString(), second, first };
            for (int i = 0; i < stored.size(); ++i) {
                settings.setArrayIndex(i);
                settings.setValue(QStringLiteral("Path"), stored.at(i));
            }
            settings.endArray();
        }
        Trelvin fresh;
        QCOMPARE(fresh.recentRoads(), QStringList({ first, second }));
        QVERIFY(!fresh.road());
        QCOMPARE(fresh.editFlags(), DataType::Categories());

        QSignalSpy recentChanged(&fresh, &Trelvin::recentChanged);
        QVERIFY(QFile::remove(second));
        QTRY_COMPARE(recentChanged.count(), 1);
        QCOMPARE(fresh.recentRoads(), QStringList({ first }));
    }

    void recentFolder()
    {
        {
            QSettings settings(QStringLiteral("Zemko"), QStringLiteral("Trelvin"));
            settings.remove(QStringLiteral("RecentPath"));
        }
        QCOMPARE(Trelvin::recentPath(), QDir::homePath());
        Trelvin::setRecentPath(file(QStringLiteral("x.rod")));
        QCOMPARE(Trelvin::recentPath(), dir->path());
        Trelvin::setRecentPath(QString());
        QCOMPARE(Trelvin::recentPath(), dir->path());
    }

    void editCacheHoldsClonesWhileARoadIsOpen()
    {
        CrossSectionEditCache* cache = CrossSectionEditCache::instance();
        QCOMPARE(cache->configuration(0).size(), 0u);
        QCOMPARE(cache->configuration(1).size(), 0u);

        const QString path = file(QStringLiteral("section.rod"));
        QVERIFY(RoadFiles::write(path, RoadFiles::road(RoadFiles::standardSection())));
        QVERIFY(document->openRoad(path));
        QCOMPARE(cache->configuration(0).size(), 1u);
        QCOMPARE(cache->configuration(1).size(), 2u);
        QCOMPARE(cache->configuration(1).getAt(1).getName(), std::string("shoulder"));

        // Edits through a handle reach the cache, not the road.
        Pelko::Road::CrossSectionConfiguration left = cache->configuration(0);
        left.append(Pelko::Road::CrossSectionElement("verge", 0.5, -4, 0));
        QCOMPARE(cache->configuration(0).size(), 2u);
        const Pelko::Road::StandardSection* section = document->road()->getStandardSection();
        QCOMPARE(section->getCrossSectionConfiguration(Pelko::Road::StandardSection::Left).size(), 1u);

        QCOMPARE(cache->configuration(2).size(), 0u);
        cache->setConfiguration(2, left);
        cache->setConfiguration(-1, left);
        QCOMPARE(cache->configuration(1).size(), 2u);
        cache->setConfiguration(1, left);
        QCOMPARE(cache->configuration(1).size(), 2u);
        QCOMPARE(cache->configuration(1).getAt(1).getName(), std::string("verge"));

        document->closeRoad();
        QCOMPARE(cache->configuration(0).size(), 0u);
        QCOMPARE(cache->configuration(1).size(), 0u);
        cache->setConfiguration(0, left);
        cache->reloadCache();
        QCOMPARE(cache->configuration(0).size(), 0u);
    }
};

TRELVIN_TEST_MAIN(DocumentTest)
#include "test_document.moc"
