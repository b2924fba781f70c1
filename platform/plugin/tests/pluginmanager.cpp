#include "fixture/fakeplugins.h"

#include <qttestmain.h>

#include <QFile>
#include <QPointer>
#include <QTemporaryDir>

#include <memory>

using namespace Zemko::Trelvin;

namespace {

const QString exporterId = QStringLiteral("com.zemko.Plugin.TestExporter/2.0");
const QString importerId = QStringLiteral("com.zemko.Plugin.TestImporter/2.0");
const QString utilityId = QStringLiteral("com.zemko.Plugin.TestUtility/2.0");
const QString secondUtilityId = QStringLiteral("com.zemko.Plugin.SecondUtility/2.0");

// Copies a built fixture library into a search folder under the given file name.
bool install(const char* fixture, const QTemporaryDir& folder, const char* fileName)
{
    return QFile::copy(QStringLiteral(FIXTURE_DIR "/libfixture_%1.so").arg(QLatin1String(fixture)),
                       folder.filePath(QLatin1String(fileName)));
}

bool writeText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

void expectSkipped(const char* fileName)
{
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^Plug-in .*/%1 skipped: ")
                                                .arg(QRegularExpression::escape(QLatin1String(fileName)))));
}

} // namespace

class PluginManagerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void searchesFoldersInOrderAndSkipsBadFiles();
    void loadsOnlyOnceUntilReset();
    void pluginsOfEachKindWork();
    void registeredPlugins();
};

void PluginManagerTest::init()
{
    PluginManager::instance().reset();
    qunsetenv("TRELVIN_PLUGIN_PATH");
}

void PluginManagerTest::cleanup()
{
    init();
}

void PluginManagerTest::searchesFoldersInOrderAndSkipsBadFiles()
{
    QTemporaryDir first;
    QTemporaryDir second;
    QVERIFY(install("utility", first, "libm_utility.so"));
    QVERIFY(install("utility2", first, "libc_utility.so"));
    QVERIFY(install("exporter", first, "libe_exporter.so"));
    QVERIFY(install("kindless", first, "libk_kindless.so"));
    QVERIFY(install("foreign", first, "libf_foreign.so"));
    QVERIFY(writeText(first.filePath(QStringLiteral("libbroken.so")), "not a library\n"));
    QVERIFY(writeText(first.filePath(QStringLiteral("notes.txt")), "ignored\n"));
    // Sorted first in its folder, but its folder comes second: the earlier exporter keeps the id.
    QVERIFY(install("duplicate", second, "liba_duplicate.so"));
    QVERIFY(install("importer", second, "libi_importer.so"));

    // Empty entries are ignored and a folder listed twice loads once.
    qputenv("TRELVIN_PLUGIN_PATH", (first.path() + "::" + second.path() + ":" + first.path()).toLocal8Bit());
    expectSkipped("libbroken.so");
    expectSkipped("libf_foreign.so");
    expectSkipped("libk_kindless.so");
    expectSkipped("liba_duplicate.so");
    PluginManager& manager = PluginManager::instance();
    manager.load();

    const QList<IDataExporterPlugin*> exporters = manager.exporterPlugins();
    QCOMPARE(exporters.size(), 1);
    QCOMPARE(exporters.at(0)->id(), exporterId);
    QCOMPARE(exporters.at(0)->name(), QStringLiteral("TestExporter"));
    QCOMPARE(exporters.at(0)->type(), IPlugin::EXPORTER);

    const QList<IUtilityPlugin*> utilities = manager.utlityPlugins();
    QCOMPARE(utilities.size(), 2);
    QCOMPARE(utilities.at(0)->id(), secondUtilityId);
    QCOMPARE(utilities.at(1)->id(), utilityId);
    QCOMPARE(utilities.at(1)->type(), IPlugin::UTILITY);

    const QList<IDataImporterPlugin*> importers = manager.importerPlugins();
    QCOMPARE(importers.size(), 1);
    QCOMPARE(importers.at(0)->type(), IPlugin::IMPORTER);

    QCOMPARE(manager.exporterPlugin(exporterId), exporters.at(0));
    QCOMPARE(manager.utilityPlugin(utilityId), utilities.at(1));
    QCOMPARE(manager.importerPlugin(importerId), importers.at(0));
    // Unknown ids and ids of another kind give nothing.
    QVERIFY(!manager.exporterPlugin(utilityId));
    QVERIFY(!manager.utilityPlugin(exporterId));
    QVERIFY(!manager.importerPlugin(QString()));
    QVERIFY(!manager.utilityPlugin(QStringLiteral("com.zemko.Plugin.Missing/2.0")));
}

void PluginManagerTest::loadsOnlyOnceUntilReset()
{
    QTemporaryDir folder;
    QVERIFY(install("exporter", folder, "libexporter.so"));
    qputenv("TRELVIN_PLUGIN_PATH", folder.path().toLocal8Bit());
    PluginManager& manager = PluginManager::instance();
    manager.load();
    QCOMPARE(manager.exporterPlugins().size(), 1);
    IDataExporterPlugin* exporter = manager.exporterPlugins().at(0);

    QVERIFY(install("utility", folder, "libutility.so"));
    manager.load();
    QCOMPARE(manager.exporterPlugins().size(), 1);
    QVERIFY(manager.utlityPlugins().isEmpty());

    manager.reset();
    QVERIFY(manager.exporterPlugins().isEmpty());
    // Libraries stay loaded: the object handed out earlier is still alive and is found again.
    QCOMPARE(exporter->id(), exporterId);
    manager.load();
    QCOMPARE(manager.exporterPlugin(exporterId), exporter);
    QCOMPARE(manager.utlityPlugins().size(), 1);
}

void PluginManagerTest::pluginsOfEachKindWork()
{
    QTemporaryDir folder;
    QVERIFY(install("exporter", folder, "libexporter.so"));
    QVERIFY(install("importer", folder, "libimporter.so"));
    QVERIFY(install("utility", folder, "libutility.so"));
    qputenv("TRELVIN_PLUGIN_PATH", folder.path().toLocal8Bit());
    PluginManager& manager = PluginManager::instance();
    manager.load();

    IDataExporterPlugin* exporterPlugin = manager.exporterPlugin(exporterId);
    QVERIFY(exporterPlugin);
    std::unique_ptr<IDataExporter> exporter(exporterPlugin->createExporter(nullptr));
    QVERIFY(exporter);
    QCOMPARE(exporter->run(nullptr), 7);

    IUtilityPlugin* utility = manager.utilityPlugin(utilityId);
    QVERIFY(utility);
    QCOMPARE(utility->run(nullptr), 3);
    QCOMPARE(utility->description(), QStringLiteral("TestUtility for tests"));
    QVERIFY(utility->icon().isNull());

    IDataImporterPlugin* importerPlugin = manager.importerPlugin(importerId);
    QVERIFY(importerPlugin);
    QCOMPARE(importerPlugin->importerKind(), int(IDataImporterPlugin::FileImporter));
    QCOMPARE(importerPlugin->categories(), DataType::Categories(DataType::Slope | DataType::SlopeLibrary));
    const IDataImporterPlugin::Spec spec = importerPlugin->spec(0);
    QCOMPARE(spec.filter, QStringLiteral("Slopes (*.txt)"));
    QCOMPARE(spec.caption, QStringLiteral("Open slopes"));
    std::unique_ptr<IDataImporter> importer(importerPlugin->createImporter(0));
    QVERIFY(importer);
    QCOMPARE(importer->import(nullptr, QStringLiteral("a.txt")), QStringLiteral("No road for a.txt"));
}

void PluginManagerTest::registeredPlugins()
{
    PluginManager& manager = PluginManager::instance();
    QPointer<Fixture::UtilityPlugin> utility = new Fixture::UtilityPlugin(utilityId, QStringLiteral("U"));
    QPointer<Fixture::ExporterPlugin> exporter = new Fixture::ExporterPlugin(exporterId, QStringLiteral("E"));
    QVERIFY(manager.registerPlugin(utility));
    QVERIFY(manager.registerPlugin(exporter));

    // Refused plug-ins are deleted at once.
    QPointer<Fixture::ExporterPlugin> duplicate = new Fixture::ExporterPlugin(utilityId, QStringLiteral("D"));
    QVERIFY(!manager.registerPlugin(duplicate));
    QVERIFY(!duplicate);
    QPointer<Fixture::KindlessPlugin> kindless
        = new Fixture::KindlessPlugin(QStringLiteral("com.zemko.Plugin.Kindless/2.0"), QStringLiteral("K"));
    QVERIFY(!manager.registerPlugin(kindless));
    QVERIFY(!kindless);
    QVERIFY(!manager.registerPlugin(new Fixture::UtilityPlugin(QString(), QStringLiteral("No id"))));
    QVERIFY(!manager.registerPlugin(nullptr));

    QCOMPARE(manager.utlityPlugins(), QList<IUtilityPlugin*>({ utility.data() }));
    QCOMPARE(manager.exporterPlugin(exporterId), exporter.data());
    QVERIFY(manager.importerPlugins().isEmpty());

    // Registering is not loading: the search still runs once.
    QTemporaryDir folder;
    QVERIFY(install("importer", folder, "libimporter.so"));
    qputenv("TRELVIN_PLUGIN_PATH", folder.path().toLocal8Bit());
    manager.load();
    QCOMPARE(manager.importerPlugins().size(), 1);

    manager.reset();
    QVERIFY(!utility);
    QVERIFY(!exporter);
    QVERIFY(manager.utlityPlugins().isEmpty());
}

TRELVIN_TEST_MAIN(PluginManagerTest)
#include "pluginmanager.moc"
