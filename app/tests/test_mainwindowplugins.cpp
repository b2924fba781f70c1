#include "qttestmain.h"

#include "support/equationmodel.h"
#include "support/roadfiles.h"
#include "support/scriptedprompter.h"

#include "document/trelvin.h"
#include "shell/fancytabwidget.h"
#include "shell/mainwindow.h"
#include "shell/resources.h"

#include <plugin/pluginmanager.h>
#include <road/roadsurface.h>
#include <road/station.h>

#include <QMenu>
#include <QSignalSpy>
#include <QToolBar>

using Zemko::Trelvin::Trelvin;

namespace {

// What the plug-ins saw, reset by each test.
struct Record
{
    int exportersMade = 0;
    int exportRuns = 0;
    int exportersDeleted = 0;
    int importersMade = 0;
    int importersDeleted = 0;
    int utilityRuns = 0;
    Pelko::Road::RoadSurface* road = nullptr;
    QWidget* parent = nullptr;
    QString importedFile;
    // Set to make the import fail with this text after it has changed the road.
    QString importError;
};
Record record;

template<typename Kind> class Named : public Kind
{
public:
    Named(const char* id, const char* name)
        : m_id(QStringLiteral("com.zemko.Plugin.%1/2.0").arg(QLatin1String(id)))
        , m_name(QLatin1String(name))
    {
    }
    QString id() const override { return m_id; }
    QString name() const override { return m_name; }
    QString description() const override { return m_name; }
    QIcon icon() const override { return QIcon(QStringLiteral(":/edit/edit/Save.png")); }

private:
    QString m_id;
    QString m_name;
};

class Exporter : public Zemko::Trelvin::IDataExporter
{
public:
    ~Exporter() override { ++record.exportersDeleted; }
    int run(QWidget* parent) override
    {
        ++record.exportRuns;
        record.parent = parent;
        return 0;
    }
};

class ExporterPlugin : public Named<Zemko::Trelvin::IDataExporterPlugin>
{
    Q_OBJECT
    Q_INTERFACES(Zemko::Trelvin::IDataExporterPlugin)
public:
    using Named::Named;
    QString type() const override { return EXPORTER; }
    Zemko::Trelvin::IDataExporter* createExporter(Pelko::Road::RoadSurface* road) override
    {
        ++record.exportersMade;
        record.road = road;
        return new Exporter;
    }
};

// Adds a stations equation to the road, then fails when told to.
class Importer : public Zemko::Trelvin::IDataImporter
{
public:
    ~Importer() override { ++record.importersDeleted; }
    QString import(Pelko::Road::RoadSurface* road, const QString& fileName) override
    {
        record.road = road;
        record.importedFile = fileName;
        Pelko::Road::StationsEquationConfiguration equations;
        equations.appendEquation(Pelko::Road::StationsEquation(120.0, 100.0));
        road->setStationsEquations(equations);
        return record.importError;
    }
};

class ImporterPlugin : public Named<Zemko::Trelvin::IDataImporterPlugin>
{
    Q_OBJECT
    Q_INTERFACES(Zemko::Trelvin::IDataImporterPlugin)
public:
    ImporterPlugin(const char* id, const char* name, int kind)
        : Named(id, name)
        , kind(kind)
    {
    }
    QString type() const override { return IMPORTER; }
    DataType::Categories categories() const override
    {
        return DataType::StationsEquation | DataType::StructuralObject;
    }
    int importerKind() const override { return kind; }
    Spec spec(int) const override
    {
        return { QStringLiteral("Equations"), QStringLiteral("Equations (*.txt)"),
                 QStringLiteral("Open equations") };
    }
    Zemko::Trelvin::IDataImporter* createImporter(int) override
    {
        ++record.importersMade;
        return new Importer;
    }

private:
    int kind;
};

class UtilityPlugin : public Named<Zemko::Trelvin::IUtilityPlugin>
{
    Q_OBJECT
    Q_INTERFACES(Zemko::Trelvin::IUtilityPlugin)
public:
    using Named::Named;
    QString type() const override { return UTILITY; }
    int run(QWidget* parent) override
    {
        ++record.utilityRuns;
        record.parent = parent;
        return 0;
    }
};

const QString exporterId = QStringLiteral("com.zemko.Plugin.TestExport/2.0");
const QString importerId = QStringLiteral("com.zemko.Plugin.TestImport/2.0");
const QString otherKindId = QStringLiteral("com.zemko.Plugin.OtherKindImport/2.0");

QAction* toolsAction(const MainWindow& window, const QString& text)
{
    const auto* tools = window.findChild<QMenu*>(QStringLiteral("menuTools"));
    for (QAction* action : tools->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

QStringList texts(const QList<QAction*>& actions)
{
    QStringList result;
    for (const QAction* action : actions)
        result.append(action->isSeparator() ? QString() : action->text());
    return result;
}

} // namespace

class TestMainWindowPlugins : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString roadFile;

    void openRoad()
    {
        QVERIFY(RoadFiles::write(roadFile, RoadFiles::road("")));
        QVERIFY(Trelvin::instance()->openRoad(roadFile));
    }

    size_t equationsOnDisk() const
    {
        Pelko::Road::RoadSurface saved(roadFile.toLocal8Bit().toStdString());
        return saved.load() ? saved.getStationsEquations().getEquationSize() : size_t(-1);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        roadFile = dir.filePath(QStringLiteral("plugins.rod"));
        qunsetenv("TRELVIN_PLUGIN_PATH");
        Zemko::Trelvin::initResources();
        auto& manager = Zemko::Trelvin::PluginManager::instance();
        manager.load();
        QVERIFY(manager.registerPlugin(new UtilityPlugin("TestUtility", "Test Utility")));
        QVERIFY(manager.registerPlugin(new ImporterPlugin("TestImport", "Test Import", 1)));
        QVERIFY(manager.registerPlugin(new ExporterPlugin("TestExport", "Test Export")));
        QVERIFY(manager.registerPlugin(new ImporterPlugin("OtherKindImport", "Other Kind Import", 2)));
    }

    void init() { record = Record(); }

    void cleanup()
    {
        ScriptedPrompter quiet(false);
        Trelvin::instance()->closeRoad();
    }

    void pluginsFollowTheBuiltInTools()
    {
        MainWindow window;
        const auto* tools = window.findChild<QMenu*>(QStringLiteral("menuTools"));
        QCOMPARE(texts(tools->actions()),
                 (QStringList { "Check by Coordinate", "Check by Station", "Spiral Calculator", "Test Export",
                                "", "Test Import", "Other Kind Import", "", "Test Utility" }));
        QVERIFY(!toolsAction(window, QStringLiteral("Test Export"))->icon().isNull());

        QStringList bars;
        const auto toolBars = window.findChildren<QToolBar*>();
        for (QToolBar* bar : toolBars) {
            QCOMPARE(window.toolBarArea(bar), Qt::TopToolBarArea);
            bars.append(bar->windowTitle() + QLatin1Char(':') + texts(bar->actions()).join(QLatin1Char(',')));
        }
        QCOMPARE(bars,
                 (QStringList {
                     "File ToolBar:&New,&Open,&Save", "Tools ToolBar:Check by Coordinate,Check by Station",
                     "Exporters ToolBar:Test Export", "Importers ToolBar:Test Import,Other Kind Import",
                     "Utilities ToolBar:Test Utility" }));
    }

    void exportNeedsAnOpenRoad()
    {
        MainWindow window;
        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        toolsAction(window, QStringLiteral("Test Export"))->trigger();
        QTRY_COMPARE(prompter.calls.size(), 1);
        QCOMPARE(prompter.calls.at(0).title, QStringLiteral("Import Failed"));
        QCOMPARE(prompter.calls.at(0).text, QStringLiteral("No open rod"));
        QCOMPARE(record.exportersMade, 0);

        openRoad();
        toolsAction(window, QStringLiteral("Test Export"))->trigger();
        // Queued: the flow runs after the click.
        QCOMPARE(record.exportRuns, 0);
        QTRY_COMPARE(record.exportRuns, 1);
        QCOMPARE(record.road, Trelvin::instance()->road());
        QCOMPARE(record.parent, &window);
        QCOMPARE(record.exportersDeleted, 1);
        QCOMPARE(prompter.calls.size(), 1);
    }

    void unknownIdentifiers()
    {
        MainWindow window;
        openRoad();
        ScriptedPrompter prompter;
        window.onExport(QStringLiteral("com.zemko.Plugin.Missing/2.0"));
        window.onUtility(QStringLiteral("com.zemko.Plugin.Missing/2.0"));
        // An exporter's id is no utility's.
        window.onUtility(exporterId);
        QVERIFY(prompter.calls.isEmpty());
        QCOMPARE(record.exportersMade + record.utilityRuns, 0);

        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onImport(QStringLiteral("com.zemko.Plugin.Missing/2.0"));
        QCOMPARE(prompter.calls.size(), 1);
        QCOMPARE(prompter.calls.at(0).title, QStringLiteral("Bad Importer"));
        QCOMPARE(prompter.calls.at(0).text, QStringLiteral("Failed to Initialize selected importer."));

        // Importers of another kind than a file importer are not served.
        window.onImport(otherKindId);
        QCOMPARE(prompter.calls.size(), 1);
        QCOMPARE(record.importersMade, 0);
    }

    void utilityRunsWithoutARoad()
    {
        MainWindow window;
        ScriptedPrompter prompter;
        toolsAction(window, QStringLiteral("Test Utility"))->trigger();
        QTRY_COMPARE(record.utilityRuns, 1);
        QCOMPARE(record.parent, &window);
        QVERIFY(prompter.calls.isEmpty());
    }

    void importAsksThenWritesAndReloads()
    {
        MainWindow window;
        ScriptedPrompter prompter;
        QSignalSpy changed(Trelvin::instance(), &Trelvin::dataChanged);
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onImport(importerId);
        QCOMPARE(prompter.calls.last().text, QStringLiteral("No open rod"));

        openRoad();
        // Declined, or no file chosen: nothing happens and nothing is announced.
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::No);
        window.onImport(importerId);
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Replace Warning"));
        QCOMPARE(prompter.calls.last().text,
                 QStringLiteral("Selected type of data in current road will be replaced, continue?"));
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Yes);
        prompter.answer(ScriptedPrompter::OpenFile, QString());
        window.onImport(importerId);
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Open equations"));
        QCOMPARE(prompter.calls.last().filter, QStringLiteral("Equations (*.txt);;All Files( *.* )"));
        QCOMPARE(record.importersMade, 0);
        QCOMPARE(changed.count(), 0);

        QSignalSpy opened(Trelvin::instance(), &Trelvin::onRoadOpen);
        const QString input = dir.filePath(QStringLiteral("equations.txt"));
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Yes);
        prompter.answer(ScriptedPrompter::OpenFile, input);
        prompter.answer(ScriptedPrompter::Information, QMessageBox::Ok);
        window.onImport(importerId);
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Succeeded"));
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Successfully imported!"));
        QCOMPARE(record.importedFile, input);
        QCOMPARE(record.importersDeleted, 1);
        QCOMPARE(equationsOnDisk(), size_t(1));
        // The pages reload the imported road before they hear what changed.
        QCOMPARE(opened.count(), 1);
        QCOMPARE(Trelvin::instance()->road()->getStationsEquations().getEquationSize(), 1u);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<DataType::Categories>(),
                 DataType::StationsEquation | DataType::StructuralObject);
        QCOMPARE(window.tabWidget()->currentIndex(), 1);
    }

    void failedImportLeavesTheRoadAsItWas()
    {
        MainWindow window;
        openRoad();
        const QByteArray before = RoadFiles::read(roadFile);
        ScriptedPrompter prompter;
        QSignalSpy changed(Trelvin::instance(), &Trelvin::dataChanged);
        record.importError = QStringLiteral("Bad equation on line 3");
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Yes);
        prompter.answer(ScriptedPrompter::OpenFile, dir.filePath(QStringLiteral("broken.txt")));
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onImport(importerId);
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Import Failed"));
        QCOMPARE(prompter.calls.last().text, record.importError);
        QCOMPARE(RoadFiles::read(roadFile), before);
        // What the importer changed before it failed is gone with the reload.
        QCOMPARE(Trelvin::instance()->road()->getStationsEquations().getEquationSize(), 0u);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(record.importersDeleted, 1);
    }

    void importThatCannotBeWrittenSaysWhy()
    {
        MainWindow window;
        openRoad();
        QVERIFY(QFile::remove(roadFile));
        QVERIFY(QDir().mkdir(roadFile));
        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Yes);
        prompter.answer(ScriptedPrompter::OpenFile, dir.filePath(QStringLiteral("equations.txt")));
        // The save's box, then the reload's.
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        prompter.answer(ScriptedPrompter::Critical, QMessageBox::Ok);
        window.onImport(importerId);
        QVERIFY(QDir().rmdir(roadFile));
        const ScriptedPrompter::Call saving = prompter.calls.at(prompter.calls.size() - 2);
        QCOMPARE(saving.title, QStringLiteral("Save failed"));
        QCOMPARE(
            saving.text,
            QStringLiteral("Save road failed!\n%1 is not a regular file; the road was not saved over it.")
                .arg(QDir::toNativeSeparators(roadFile)));
    }

    void importAsksAboutPendingEditsFirst()
    {
        MainWindow window;
        EquationModel model;
        openRoad();
        model.append(300.0, 290.0);
        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Yes);
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Cancel);
        window.onImport(importerId);
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Data Changed"));
        QCOMPARE(prompter.count(ScriptedPrompter::OpenFile), 0);
        QCOMPARE(model.equations.size(), 1);

        // Saved first, nothing pending is lost when the road reloads after the import.
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Yes);
        prompter.answer(ScriptedPrompter::Question, QMessageBox::Save);
        prompter.answer(ScriptedPrompter::OpenFile, dir.filePath(QStringLiteral("later.txt")));
        prompter.answer(ScriptedPrompter::Information, QMessageBox::Ok);
        window.onImport(importerId);
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Succeeded"));
        QCOMPARE(model.writes, 1);
        QCOMPARE(int(Trelvin::instance()->editFlags()), 0);
    }
};

TRELVIN_TEST_MAIN(TestMainWindowPlugins)
#include "test_mainwindowplugins.moc"
