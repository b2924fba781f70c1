#include "roads.h"

#include <plugin/pluginmanager.h>

#include <qttestmain.h>

#include <QDialog>
#include <QFile>
#include <QJsonObject>
#include <QLineEdit>
#include <QPluginLoader>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

using namespace Zemko::Trelvin;

namespace {

const QString veskerId = QStringLiteral("com.zemko.Plugin.VeskerPlugin/2.0");

// Closes whatever modal window is still open, so that a box nobody expected fails the test
// instead of hanging it.
void closeStrayWindows(QStringList* seen)
{
    for (int i = 0; i < 10 && QApplication::activeModalWidget(); ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        *seen << modal->metaObject()->className() + QStringLiteral(": ") + modal->windowTitle();
        modal->close();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    }
}

} // namespace

class VeskerPluginTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void loadedThroughTheManager();
    void runsTheStakeTable();

private:
    QTemporaryDir m_plugins;
    QString m_library;
};

void VeskerPluginTest::initTestCase()
{
    m_library = m_plugins.filePath(QStringLiteral("libvesker.so"));
    QVERIFY(QFile::copy(QStringLiteral(VESKER_MODULE), m_library));
    qputenv("TRELVIN_PLUGIN_PATH", m_plugins.path().toLocal8Bit());
    PluginManager::instance().reset();
    PluginManager::instance().load();
}

void VeskerPluginTest::cleanupTestCase()
{
    PluginManager::instance().reset();
    qunsetenv("TRELVIN_PLUGIN_PATH");
}

void VeskerPluginTest::loadedThroughTheManager()
{
    PluginManager& manager = PluginManager::instance();
    QCOMPARE(manager.exporterPlugins().size(), 1);
    QVERIFY(manager.importerPlugins().isEmpty());
    QVERIFY(manager.utlityPlugins().isEmpty());

    IDataExporterPlugin* plugin = manager.exporterPlugin(veskerId);
    QVERIFY(plugin);
    QCOMPARE(plugin, manager.exporterPlugins().first());
    QCOMPARE(plugin->type(), IPlugin::EXPORTER);
    QCOMPARE(plugin->id(), veskerId);
    QCOMPARE(plugin->name(), QStringLiteral("Vesker"));
    QCOMPARE(plugin->description(), QStringLiteral("Vesker to CASS Coordinates"));
    QVERIFY(plugin->icon().isNull());
    QVERIFY(!plugin->parent());
    QVERIFY(plugin->inherits("Zemko::Trelvin::VeskerPlugin"));
    QVERIFY(plugin->qt_metacast("com.zemko.Plugin.IDataExporter/2.0"));

    // The metadata's IID is the plug-in's id.
    const QJsonObject meta = QPluginLoader(m_library).metaData();
    QCOMPARE(meta.value(QStringLiteral("IID")).toString(), veskerId);
    QCOMPARE(meta.value(QStringLiteral("className")).toString(), QStringLiteral("VeskerPlugin"));

    QVERIFY(!plugin->createExporter(nullptr));
}

void VeskerPluginTest::runsTheStakeTable()
{
    QTemporaryDir folder;
    auto road = TestRoads::saved(folder, QStringLiteral("road.rod"), { true, false, true });
    QVERIFY(road);
    IDataExporterPlugin* plugin = PluginManager::instance().exporterPlugin(veskerId);
    QVERIFY(plugin);
    std::unique_ptr<IDataExporter> exporter(plugin->createExporter(road.get()));
    QVERIFY(exporter);

    // The dialog is the plug-in's own; it is driven through its widgets once it is shown.
    QString title;
    int rows = -1;
    QStringList stray;
    // Anything still open after a while (the dialog itself, or a box nobody expected) is closed and
    // fails the test instead of hanging it.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [&] { closeStrayWindows(&stray); });
    watchdog.start(10000);
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        title = dialog->windowTitle();
        dialog->findChild<QLineEdit*>(QStringLiteral("startStationEdit"))->setText(QStringLiteral("K0+100"));
        dialog->findChild<QLineEdit*>(QStringLiteral("endStationEdit"))->setText(QStringLiteral("K0+200"));
        dialog->findChild<QLineEdit*>(QStringLiteral("intervalEdit"))->setText(QStringLiteral("25"));
        dialog->findChild<QPushButton*>(QStringLiteral("generateButton"))->click();
        rows = dialog->findChild<QTableView*>(QStringLiteral("tableView"))->model()->rowCount();
        dialog->accept();
    });
    const int result = exporter->run(nullptr);
    closeStrayWindows(&stray);

    QCOMPARE(stray, QStringList());
    QCOMPARE(title, QStringLiteral("Stake Table"));
    // 100 (spiral begin), 125, 150 (arc begin), 175, 200 (arc midpoint).
    QCOMPARE(rows, 5);
    QCOMPARE(result, int(QDialog::Accepted));
}

TRELVIN_TEST_MAIN(VeskerPluginTest)
#include "plugin.moc"
