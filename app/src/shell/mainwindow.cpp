#include "shell/mainwindow.h"

#include "ui_mainwindow.h"

#include "alignment/horizontalalignmentwidget.h"
#include "check/roadcheckdialog.h"
#include "check/stationcheckdialog.h"
#include "document/prompter.h"
#include "document/trelvin.h"
#include "framework/crosssectioneditcache.h"
#include "profile/spiralcalculatordialog.h"
#include "profile/stationsequationconfigwidget.h"
#include "profile/verticalalignmentwidget.h"
#include "section/standardsectionwidget.h"
#include "section/superelevationpointwidget.h"
#include "section/wideningpointwidget.h"
#include "shell/about.h"
#include "shell/fancytabwidget.h"
#include "shell/resources.h"
#include "shell/styledbar.h"
#include "shell/welcomeform.h"
#include "slopes/slopelibrarywidget.h"
#include "slopes/slopeuselibwidget.h"
#include "slopes/slopewidget.h"
#include "structures/structuralobjectwidget.h"

#include <plugin/pluginmanager.h>
#include <road/roadsurface.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QSignalMapper>
#include <QToolBar>
#include <QTranslator>

using Zemko::Trelvin::Prompter;
using Zemko::Trelvin::Trelvin;

namespace {

const int slopeTab = 7;
const int slopeLibraryTab = 8;

const QString roadFilter = QStringLiteral("*.rod");

} // namespace

namespace Zemko {
namespace Trelvin {

void prepareApplication(QApplication& application)
{
    Trelvin::instance();
    CrossSectionEditCache::instance();
    QCoreApplication::addLibraryPath(QStringLiteral("./"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRELVIN_VERSION));
    initResources();

    // A translator without its file is installed all the same and translates nothing.
    const QString locale = QLocale::system().name();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
    auto* qtTranslator = new QTranslator(&application);
    (void)qtTranslator->load(QStringLiteral("qt_") + locale, folder);
    QCoreApplication::installTranslator(qtTranslator);
    auto* programTranslator = new QTranslator(&application);
    (void)programTranslator->load(
        QFileInfo(QCoreApplication::applicationFilePath()).baseName() + QLatin1Char('_') + locale, folder);
    QCoreApplication::installTranslator(programTranslator);
}

} // namespace Trelvin
} // namespace Zemko

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::MainWindow>())
    , title(tr("Trelvin"))
{
    ui->setupUi(this);
    Utils::PanelStyle::setRequestedColor(Qt::gray);

    auto* welcome = new WelcomeForm(this);
    connect(welcome, &WelcomeForm::newRoad, this, &MainWindow::onNew);
    connect(welcome, &WelcomeForm::openRoad, this, &MainWindow::onOpen);
    connect(welcome, &WelcomeForm::openRecent, this, &MainWindow::openRoad);

    tabs = new Core::Internal::FancyTabWidget(this);
    tabs->addTab(welcome, QIcon(QStringLiteral(":/edit/edit/Road.png")));
    setCentralWidget(tabs);

    // Pages connect to the document as they are built, so they hear it in side-tab order.
    stationsEquationPage = new StationsEquationConfigWidget(this);
    addPage(stationsEquationPage, QStringLiteral("StationsEquation"), DataType::StationsEquation);
    horizontalAlignmentPage = new HorizontalAlignmentWidget(this);
    addPage(horizontalAlignmentPage, QStringLiteral("HorizontalAlignment"),
            DataType::PointOfIntersection | DataType::HorizontalElement);
    verticalAlignmentPage = new VerticalAlignmentWidget(this);
    addPage(verticalAlignmentPage, QStringLiteral("VerticalAlignment"), DataType::VerticalAlignment);
    standardSectionPage = new StandardSectionWidget(this);
    addPage(standardSectionPage, QStringLiteral("StandardSection"), DataType::StandardSection);
    wideningPointPage = new WideningPointWidget(this);
    addPage(wideningPointPage, QStringLiteral("WideningPoint"), DataType::WideningPoint);
    superelevationPointPage = new SuperelevationPointWidget(this);
    addPage(superelevationPointPage, QStringLiteral("SuperelevationPoint"), DataType::SuperelevationPoint);
    slopeUseLibWidget = new SlopeUseLibWidget(this);
    slopeWidget = new SlopeWidget(this);
    slopeWidget->setVisible(false);
    slopePage = slopeUseLibWidget;
    addPage(slopePage, QStringLiteral("Slope"), DataType::Slope);
    slopeLibraryPage = new SlopeLibraryWidget(this);
    addPage(slopeLibraryPage, QStringLiteral("Slope"), DataType::SlopeLibrary);
    structuralObjectPage = new StructuralObjectWidget(this);
    addPage(structuralObjectPage, QStringLiteral("StructuralOject"), DataType::StructuralObject);

    buildPluginActions();

    connect(ui->actionNew, &QAction::triggered, this, &MainWindow::onNew);
    connect(ui->actionOpen, &QAction::triggered, this, &MainWindow::onOpen);
    connect(ui->actionSave, &QAction::triggered, this, &MainWindow::onSave);
    connect(ui->actionCheck, &QAction::triggered, this, &MainWindow::onCheck);
    connect(ui->actionCheckStation, &QAction::triggered, this, &MainWindow::onCheckStation);
    connect(ui->actionSpiralCalculator, &QAction::triggered, this, &MainWindow::onSpiralCalc);
    connect(ui->actionExit, &QAction::triggered, this, &MainWindow::onExit);
    connect(ui->actionAbout, &QAction::triggered, this, [this] { (new About(this))->show(); });

    Trelvin* document = Trelvin::instance();
    connect(document, &Trelvin::recentChanged, this, &MainWindow::rebuildRecentMenu);
    rebuildRecentMenu();

    tabs->setSelectionWidgetVisible(true);
    tabs->setTabEnabled(0, true);
    tabs->setCurrentIndex(0);

    // The last handlers of the document: they run after every page and table model has reloaded.
    connect(document, &Trelvin::onRoadOpen, this, &MainWindow::onRoadOpen);
    connect(document, &Trelvin::onRoadAboutToClose, this, &MainWindow::onRoadAboutToClose);
    connect(document, &Trelvin::dataChanged, this, &MainWindow::onDataChanged);
    connect(document, &Trelvin::editFlagsChanged, this, &MainWindow::onEditFlagsChanged);

    setWindowTitle(title);
}

MainWindow::~MainWindow()
{
    // The pages go with QWidget's destructor, after this window's members: a table model that leaves
    // with edits still marked clears them, and the document's announcement must not reach a window
    // that is half gone.
    disconnect(Trelvin::instance(), nullptr, this, nullptr);
}

SimpleEditWidget* MainWindow::currentSlopePage() const
{
    return slopePage;
}

SimpleEditWidget* MainWindow::hiddenSlopePage() const
{
    return slopePage == slopeWidget ? static_cast<SimpleEditWidget*>(slopeUseLibWidget) : slopeWidget;
}

void MainWindow::addPage(SimpleEditWidget* page, const QString& icon, DataType::Categories categories)
{
    tabs->addTab(page, QIcon(QStringLiteral(":/edit/edit/%1.png").arg(icon)));
    tabCategories.insert(tabs->count() - 1, categories);
}

void MainWindow::onNew()
{
    if (!maybeSave())
        return;
    QString path
        = Prompter::instance()->getSaveFileName(this, tr("Select Road"), Trelvin::recentPath(), roadFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".rod");
        // The dialog asked about the name without the suffix, not about this file.
        if (QFileInfo::exists(path)
            && Prompter::instance()->question(
                   this, tr("Select Road"),
                   tr("%1 already exists.\nDo you want to replace it?").arg(QDir::toNativeSeparators(path)),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                != QMessageBox::Yes)
            return;
    }
    // The open road stays until the new one exists: the document closes it then.
    newRoad(path);
    Trelvin::setRecentPath(path);
}

void MainWindow::onOpen()
{
    if (!maybeSave())
        return;
    const QString path
        = Prompter::instance()->getOpenFileName(this, tr("Select Road"), Trelvin::recentPath(), roadFilter);
    if (path.isEmpty())
        return;
    loadRoad(path);
    Trelvin::setRecentPath(path);
}

void MainWindow::onSave()
{
    saveRoad();
}

void MainWindow::onClose()
{
    Trelvin::instance()->closeRoad();
}

void MainWindow::onExit()
{
    close();
}

void MainWindow::onCheck()
{
    Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road) {
        onNoOpenRoadError();
        return;
    }
    RoadCheckDialog dialog(0, road, this);
    dialog.exec();
}

void MainWindow::onCheckStation()
{
    Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road) {
        onNoOpenRoadError();
        return;
    }
    StationCheckDialog dialog(road, this);
    dialog.exec();
}

void MainWindow::onSpiralCalc()
{
    SpiralCalculatorDialog dialog(this);
    dialog.exec();
}

void MainWindow::openRoad(const QString& path)
{
    Trelvin* document = Trelvin::instance();
    if (!path.isEmpty() && QFileInfo(path).absoluteFilePath() == document->path()) {
        tabs->setCurrentIndex(1);
        return;
    }
    if (!maybeSave())
        return;
    loadRoad(path);
}

void MainWindow::newRoad(const QString& path)
{
    Trelvin* document = Trelvin::instance();
    const bool created = document->createRoad(path);
    QString reason = document->fileErrorText();
    if (created) {
        // The new road is open, but it may not survive a crash.
        if (!reason.isEmpty())
            Prompter::instance()->warning(this, tr("New road"), reason);
        return;
    }
    if (reason.isEmpty())
        reason = tr("Cannot write a new road to %1.").arg(QDir::toNativeSeparators(path));
    Prompter::instance()->critical(this, tr("New road Failed"), reason);
}

void MainWindow::loadRoad(const QString& path)
{
    Trelvin* document = Trelvin::instance();
    document->closeRoad();
    if (!QFileInfo::exists(path)) {
        reportOpenFailure(tr("Road does not exist!"));
        return;
    }
    if (!document->openRoad(path))
        reportOpenFailure(
            tr("%1 is not a road file this program can read.").arg(QDir::toNativeSeparators(path)));
}

void MainWindow::reportOpenFailure(const QString& reason)
{
    Prompter::instance()->critical(this, tr("Open road Failed"), reason);
}

void MainWindow::onExport(const QString& key)
{
    Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road) {
        onNoOpenRoadError();
        return;
    }
    Zemko::Trelvin::IDataExporterPlugin* plugin
        = Zemko::Trelvin::PluginManager::instance().exporterPlugin(key);
    if (!plugin)
        return;
    const std::unique_ptr<Zemko::Trelvin::IDataExporter> exporter(plugin->createExporter(road));
    if (exporter)
        exporter->run(this);
}

void MainWindow::onImport(const QString& key)
{
    Trelvin* document = Trelvin::instance();
    if (!document->road()) {
        onNoOpenRoadError();
        return;
    }
    Zemko::Trelvin::IDataImporterPlugin* plugin
        = Zemko::Trelvin::PluginManager::instance().importerPlugin(key);
    if (!plugin) {
        Prompter::instance()->critical(this, tr("Bad Importer"),
                                       tr("Failed to Initialize selected importer."));
        return;
    }
    if (plugin->importerKind() != Zemko::Trelvin::IDataImporterPlugin::FileImporter)
        return;
    const Zemko::Trelvin::IDataImporterPlugin::Spec spec = plugin->spec(0);
    if (Prompter::instance()->warning(this, tr("Replace Warning"),
                                      tr("Selected type of data in current road will be replaced, continue?"),
                                      QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    // The road is reloaded after the import, which would drop edits not yet written into it.
    if (!maybeSave())
        return;
    const QString fileName = Prompter::instance()->getOpenFileName(
        this, spec.caption, QString(),
        spec.filter + QStringLiteral(";;") + tr("All Files") + QStringLiteral("( *.* )"));
    if (fileName.isEmpty())
        return;

    const std::unique_ptr<Zemko::Trelvin::IDataImporter> importer(plugin->createImporter(0));
    if (!importer) {
        Prompter::instance()->critical(this, tr("Bad Importer"),
                                       tr("Failed to Initialize selected importer."));
        return;
    }
    const QString path = document->path();
    const QString error = importer->import(document->road(), fileName);
    const bool written = error.isEmpty() && document->writeRoad();
    const QString failure = error.isEmpty() ? document->writeFailureText(written) : QString();
    const bool saved = written && Pelko::Road::isSaved(document->fileError());
    if (!error.isEmpty())
        Prompter::instance()->critical(this, tr("Import Failed"), error);
    else if (!saved)
        Prompter::instance()->critical(this, tr("Save failed"), failure);
    else if (!failure.isEmpty())
        Prompter::instance()->information(this, tr("Succeeded"),
                                          tr("Successfully imported!") + QLatin1Char('\n') + failure);
    else
        Prompter::instance()->information(this, tr("Succeeded"), tr("Successfully imported!"));
    // The pages still hold copies taken before the import: reload them all from the file, which
    // holds the import when it succeeded and the road as it was otherwise.
    loadRoad(path);
    document->notifyDataChanged(plugin->categories());
}

void MainWindow::onNoOpenRoadError()
{
    Prompter::instance()->critical(this, tr("Import Failed"), tr("No open rod"));
}

void MainWindow::onUtility(const QString& key)
{
    if (Zemko::Trelvin::IUtilityPlugin* plugin = Zemko::Trelvin::PluginManager::instance().utilityPlugin(key))
        plugin->run(this);
}

void MainWindow::onDataChanged(DataType::Categories categories)
{
    const QList<SimpleEditWidget*> pages = { stationsEquationPage,
                                             horizontalAlignmentPage,
                                             verticalAlignmentPage,
                                             standardSectionPage,
                                             wideningPointPage,
                                             superelevationPointPage,
                                             slopePage,
                                             structuralObjectPage };
    for (SimpleEditWidget* page : pages)
        page->updateData(categories);
}

void MainWindow::onEditFlagsChanged(DataType::Categories categories)
{
    for (auto it = tabCategories.cbegin(); it != tabCategories.cend(); ++it)
        tabs->setTabModified(it.key(), bool(it.value() & categories));
}

void MainWindow::onRoadOpen()
{
    Trelvin* document = Trelvin::instance();
    const bool library = document->isSlopeLibraryAvailable();
    SimpleEditWidget* page = library ? static_cast<SimpleEditWidget*>(slopeUseLibWidget) : slopeWidget;
    if (tabs->widget(slopeTab) != page) {
        QWidget* previous = tabs->widget(slopeTab);
        tabs->replaceTab(slopeTab, page, QIcon(QStringLiteral(":/edit/edit/Slope.png")), page->windowTitle());
        previous->setVisible(false);
    }
    slopePage = page;

    for (int i = 1; i < tabs->count(); ++i)
        tabs->setTabEnabled(i, true);
    tabs->setTabEnabled(slopeLibraryTab, library);
    tabs->setCurrentIndex(1);

    const QString path = document->path();
    if (!path.isEmpty()) {
        const QFileInfo file(path);
        setWindowTitle(QStringLiteral("%1 [%2] - %3").arg(file.fileName(), file.path(), title));
    }
}

void MainWindow::onRoadAboutToClose()
{
    tabs->setCurrentIndex(0);
    for (int i = 1; i < tabs->count(); ++i)
        tabs->setTabEnabled(i, false);
    // The title names the open road; a closed one is no longer open.
    setWindowTitle(title);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

bool MainWindow::maybeSave()
{
    if (!Trelvin::instance()->editFlags())
        return true;
    const QMessageBox::StandardButton answer = Prompter::instance()->question(
        this, tr("Data Changed"), tr("Road has been edited, save or discard?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer == QMessageBox::Save)
        // A failed save keeps everything as it was, so the user loses nothing by going on.
        return saveRoad();
    return answer == QMessageBox::Discard;
}

bool MainWindow::saveRoad()
{
    Trelvin* document = Trelvin::instance();
    if (document->save()) {
        // Done, though the user may have to hear that the folder could not be synced.
        const QString note = document->fileErrorText();
        if (!note.isEmpty())
            Prompter::instance()->warning(this, tr("Save road"), note);
        return true;
    }
    // A save the user declined needs no box.
    const QString text = saveFailureText();
    if (!text.isEmpty())
        Prompter::instance()->critical(this, tr("Save failed"), text);
    return false;
}

QString MainWindow::saveFailureText() const
{
    const Trelvin* document = Trelvin::instance();
    const QString failed = document->saveFailedText();
    const QList<Trelvin::WriteRefusal> refusals = document->writeRefusals();
    if (!refusals.isEmpty()) {
        QStringList lines = { failed };
        for (const Trelvin::WriteRefusal& refusal : refusals)
            lines.append(tr("%1: %2").arg(pageNames(refusal.category), refusal.reason));
        lines.append(tr("Nothing was saved; the edits of every page are kept."));
        return lines.join(QLatin1Char('\n'));
    }
    if (document->saveRefused())
        return document->saveRefusal();
    // The file, or a page's write after its check, failed; or every edit is in the file but its
    // folder could not be synced.
    const DataType::Categories saved = document->savedCategories();
    if (!saved || !document->editFlags())
        return failed;
    return failed + QLatin1Char('\n')
        + tr("The edits of %1 were saved; those of %2 were not.")
              .arg(pageNames(saved), pageNames(document->editFlags()));
}

QString MainWindow::pageNames(DataType::Categories categories) const
{
    QStringList names;
    for (int i = 1; i < tabs->count(); ++i)
        if (tabCategories.value(i) & categories)
            names.append(tabs->tabBar()->tabText(i));
    return names.join(QStringLiteral(", "));
}

void MainWindow::rebuildRecentMenu()
{
    if (!recentMenu) {
        recentMenu = new QMenu(this);
        ui->actionRecent->setMenu(recentMenu);
    }
    recentMenu->clear();
    const QStringList roads = Trelvin::instance()->recentRoads();
    if (roads.isEmpty())
        return;
    if (!recentMapper) {
        recentMapper = new QSignalMapper(this);
        // Queued: the menu finishes its click before the road changes under it.
        connect(recentMapper, &QSignalMapper::mappedString, this, &MainWindow::openRoad,
                Qt::QueuedConnection);
    }
    for (const QString& path : roads) {
        QAction* action = recentMenu->addAction(path);
        connect(action, &QAction::triggered, recentMapper, qOverload<>(&QSignalMapper::map));
        recentMapper->setMapping(action, path);
    }
}

void MainWindow::buildPluginActions()
{
    Zemko::Trelvin::PluginManager& manager = Zemko::Trelvin::PluginManager::instance();
    manager.load();
    addPluginGroup(manager.exporterPlugins(), tr("Exporters ToolBar"), &MainWindow::onExport);
    const QList<Zemko::Trelvin::IDataImporterPlugin*> importers = manager.importerPlugins();
    if (!importers.isEmpty())
        ui->menuTools->addSeparator();
    addPluginGroup(importers, tr("Importers ToolBar"), &MainWindow::onImport);
    const QList<Zemko::Trelvin::IUtilityPlugin*> utilities = manager.utlityPlugins();
    if (!utilities.isEmpty())
        ui->menuTools->addSeparator();
    addPluginGroup(utilities, tr("Utilities ToolBar"), &MainWindow::onUtility);
}

template<typename Plugin>
void MainWindow::addPluginGroup(const QList<Plugin*>& plugins, const QString& barTitle,
                                void (MainWindow::*slot)(const QString&))
{
    if (plugins.isEmpty())
        return;
    auto* bar = new QToolBar(barTitle, this);
    auto* mapper = new QSignalMapper(this);
    for (Plugin* plugin : plugins) {
        const QString name = plugin->name();
        const QIcon icon = plugin->icon();
        auto* action = new QAction(icon, name, this);
        connect(action, &QAction::triggered, mapper, qOverload<>(&QSignalMapper::map));
        mapper->setMapping(action, plugin->id());
        ui->menuTools->addAction(action);
        bar->addAction(action);
    }
    // Queued: the flow starts once the menu or tool bar has handled its click.
    connect(mapper, &QSignalMapper::mappedString, this, slot, Qt::QueuedConnection);
    addToolBar(bar);
}
