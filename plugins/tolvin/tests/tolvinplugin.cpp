#include "pointfiles.h"

#include <plugin/pluginmanager.h>

#include <qttestmain.h>

#include <QDialog>
#include <QFile>
#include <QJsonObject>
#include <QLineEdit>
#include <QPluginLoader>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace Zemko::Trelvin;

namespace {

const QString tolvinId = QStringLiteral("com.zemko.Plugin.TolvinPlugin/2.0");

} // namespace

// The built plug-in library, found and used only through the plug-in manager.
class TolvinPluginTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void metadataNamesThePlugin();
    void loadedThroughTheManager();
    void runShowsTheDialog();
    void quitDuringARunLeavesNoTarget();

private:
    QTemporaryDir m_folder;
};

void TolvinPluginTest::initTestCase()
{
    QVERIFY(QFile::copy(QStringLiteral(TOLVIN_MODULE), m_folder.filePath(QStringLiteral("libtolvin.so"))));
    qputenv("TRELVIN_PLUGIN_PATH", m_folder.path().toLocal8Bit());
    PluginManager::instance().reset();
    PluginManager::instance().load();
}

void TolvinPluginTest::cleanupTestCase()
{
    PluginManager::instance().reset();
    qunsetenv("TRELVIN_PLUGIN_PATH");
}

void TolvinPluginTest::metadataNamesThePlugin()
{
    const QJsonObject metaData = QPluginLoader(QStringLiteral(TOLVIN_MODULE)).metaData();
    QCOMPARE(metaData.value(QStringLiteral("IID")).toString(), tolvinId);
    QCOMPARE(metaData.value(QStringLiteral("className")).toString(), QStringLiteral("TolvinPlugin"));
}

void TolvinPluginTest::loadedThroughTheManager()
{
    PluginManager& manager = PluginManager::instance();
    QCOMPARE(manager.utlityPlugins().size(), 1);
    IUtilityPlugin* plugin = manager.utilityPlugin(tolvinId);
    QVERIFY(plugin);
    QCOMPARE(plugin->id(), tolvinId);
    QCOMPARE(plugin->type(), IPlugin::UTILITY);
    QCOMPARE(plugin->name(), QStringLiteral("TIN Generator"));
    QCOMPARE(plugin->description(), QStringLiteral("TIN Generator from DXF or CASS Coordinates"));
    QVERIFY(plugin->icon().isNull());
    QVERIFY(manager.exporterPlugins().isEmpty());
    QVERIFY(manager.importerPlugins().isEmpty());
    QCOMPARE(plugin->metaObject()->className(), "Zemko::Trelvin::TolvinPlugin");
    QVERIFY(plugin->qt_metacast("com.zemko.Plugin.IUtilityPlugin/2.0"));
}

void TolvinPluginTest::runShowsTheDialog()
{
    IUtilityPlugin* plugin = PluginManager::instance().utilityPlugin(tolvinId);
    QVERIFY(plugin);
    QWidget parent;
    QString title;
    QString objectName;
    QSize size;
    // Closes the modal dialog once it is up, as the user's Escape would.
    QTimer closer;
    closer.setInterval(20);
    connect(&closer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        title = dialog->windowTitle();
        objectName = dialog->objectName();
        size = dialog->size();
        QCOMPARE(dialog->parentWidget(), &parent);
        dialog->reject();
    });
    closer.start();
    QCOMPARE(plugin->run(&parent), int(QDialog::Rejected));
    // Titled as its entry in the Tools menu.
    QCOMPARE(title, plugin->name());
    QCOMPARE(objectName, QStringLiteral("TIN_Generator"));
    QVERIFY(size.width() >= 300);
}

void TolvinPluginTest::quitDuringARunLeavesNoTarget()
{
    IUtilityPlugin* plugin = PluginManager::instance().utilityPlugin(tolvinId);
    QVERIFY(plugin);
    const QString data = m_folder.filePath(QStringLiteral("large.dat"));
    const QString target = m_folder.filePath(QStringLiteral("large.qvr"));
    QVERIFY(writeRandomPoints(data, 100000));

    // Starts a run in the dialog the plug-in shows, and closes the dialog as Escape would once the run
    // has begun writing its TIN beside the target. No box comes up: the data file exists and the target
    // does not.
    bool started = false;
    QTimer script;
    script.setInterval(5);
    connect(&script, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (!started) {
            dialog->findChild<QLineEdit*>(QStringLiteral("dataFileEdit"))->setText(data);
            dialog->findChild<QLineEdit*>(QStringLiteral("qvrFileEdit"))->setText(target);
            dialog->findChild<QPushButton*>(QStringLiteral("generateButton"))->click();
            started = true;
        } else if (!beside(target).isEmpty()) {
            dialog->reject();
        }
    });
    script.start();
    QWidget parent;
    QCOMPARE(plugin->run(&parent), int(QDialog::Rejected));
    script.stop();
    QVERIFY(started);

    // The program quits while the cancelled run is still at work: quitting waits for it and removes its
    // partial database.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    QVERIFY(!QFile::exists(target));
    QVERIFY(beside(target).isEmpty());
    QVERIFY(QFile::exists(data));
}

TRELVIN_TEST_MAIN(TolvinPluginTest)
#include "tolvinplugin.moc"
