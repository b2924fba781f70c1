#pragma once

#include <plugin/datatype.h>

#include <QHash>
#include <QMainWindow>

#include <memory>

class QApplication;
class QMenu;
class QSignalMapper;
class QToolBar;

class SimpleEditWidget;
class StationsEquationConfigWidget;
class HorizontalAlignmentWidget;
class VerticalAlignmentWidget;
class StandardSectionWidget;
class WideningPointWidget;
class SuperelevationPointWidget;
class SlopeWidget;
class SlopeUseLibWidget;
class SlopeLibraryWidget;
class StructuralObjectWidget;

namespace Core {
namespace Internal {
class FancyTabWidget;
}
} // namespace Core

namespace Ui {
class MainWindow;
}

namespace Zemko {
namespace Trelvin {

// Everything main() does before it builds the window: the document and the edit cache (in that
// order, so that the cache hears the document first), the library path, the translators, the icons
// and the program's version.
void prepareApplication(QApplication& application);

} // namespace Trelvin
} // namespace Zemko

// The program's only top-level window: the side tabs with the welcome page and the nine edit pages,
// the File, Tools and Help menus, the plug-in actions, and the flows that open, create, save and
// close roads.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    Core::Internal::FancyTabWidget* tabWidget() const { return tabs; }
    // The categories each side tab edits (none for the welcome page).
    QHash<int, DataType::Categories> categoriesOfTabs() const { return tabCategories; }
    // The slope page standing in tab 7, and the one kept aside.
    SimpleEditWidget* currentSlopePage() const;
    SimpleEditWidget* hiddenSlopePage() const;

public slots:
    void onNew();
    void onOpen();
    void onSave();
    void onClose();
    void onExit();
    void onCheck();
    void onCheckStation();
    void onSpiralCalc();
    void openRoad(const QString& path);
    void newRoad(const QString& path);
    void onExport(const QString& key);
    void onImport(const QString& key);
    void onNoOpenRoadError();
    void onUtility(const QString& key);
    void onDataChanged(DataType::Categories categories);
    void onEditFlagsChanged(DataType::Categories categories);
    void onRoadOpen();
    void onRoadAboutToClose();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool maybeSave();
    bool saveRoad();
    // The message of the document's failed save: the pages that refused and why, or what reached the
    // file; empty when the user declined.
    QString saveFailureText() const;
    // The titles of the side tabs that edit any of the categories.
    QString pageNames(DataType::Categories categories) const;
    // Closes the open road and opens path, telling the user why when that fails.
    void loadRoad(const QString& path);
    void reportOpenFailure(const QString& reason);
    void rebuildRecentMenu();
    void buildPluginActions();
    template<typename Plugin>
    void addPluginGroup(const QList<Plugin*>& plugins, const QString& title,
                        void (MainWindow::*slot)(const QString&));
    void addPage(SimpleEditWidget* page, const QString& icon, DataType::Categories categories);

    std::unique_ptr<Ui::MainWindow> ui;
    StationsEquationConfigWidget* stationsEquationPage = nullptr;
    HorizontalAlignmentWidget* horizontalAlignmentPage = nullptr;
    VerticalAlignmentWidget* verticalAlignmentPage = nullptr;
    StandardSectionWidget* standardSectionPage = nullptr;
    WideningPointWidget* wideningPointPage = nullptr;
    SuperelevationPointWidget* superelevationPointPage = nullptr;
    SlopeWidget* slopeWidget = nullptr;
    SlopeUseLibWidget* slopeUseLibWidget = nullptr;
    SimpleEditWidget* slopePage = nullptr;
    SlopeLibraryWidget* slopeLibraryPage = nullptr;
    StructuralObjectWidget* structuralObjectPage = nullptr;
    QHash<int, DataType::Categories> tabCategories;
    Core::Internal::FancyTabWidget* tabs = nullptr;
    QMenu* recentMenu = nullptr;
    QSignalMapper* recentMapper = nullptr;
    QString title;
};
