// Writes a PNG of the main window on each enabled side tab (tab-<n>-<title>.png), on each further tab
// of a page's own tab bar (tab-<n>-<title>-<inner tab>.png) and of the dialog of each Tools menu entry
// (dialog-<entry>.png) with the given road open; check by station is shown at a station of the road.
// Then, on a copy of the road, the slope page with a left segment selected (slope-page-1-selected.png)
// and after that segment's Delete (slope-page-2-after-Delete.png). Then a new road is made and PI rows
// heading south are typed into its table (new-road-1-typed-PIs.png), applied (new-road-2-after-Apply.png,
// the plan fitted to the road) and shown as elements (new-road-3-Horizontal-Elements.png). Last a short
// road of elements (507.06 m) with 1 m shoulders at -4 % is opened: its plan in the maximised window
// (short-road-1-plan.png) and its section in check by station (short-road-2-Check-by-Station.png):
//
//   trelvin_screenshots OUTDIR ROAD [WIDTH HEIGHT]
//
// New pages and tools appear without changes here. Every message box is answered at once with its
// default button and every file dialog as cancelled, so nothing waits for a user.
#include "alignment/horizontalalignmentwidget.h"
#include "alignment/horizontalelementtablemodel.h"
#include "alignment/horizontalelementtablewidget.h"
#include "alignment/pointofintersectiontablemodel.h"
#include "alignment/pointofintersectiontablewidget.h"
#include "document/prompter.h"
#include "document/trelvin.h"
#include "shell/fancytabwidget.h"
#include "shell/mainwindow.h"
#include "slopes/slopeuselibeditwidget.h"
#include "slopes/slopeuselibwidget.h"
#include "ui_tableviewwidget.h"

#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>

namespace {

class QuietPrompter : public Zemko::Trelvin::Prompter
{
public:
    QMessageBox::StandardButton question(QWidget*, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) override
    {
        return answer(title, text, buttons, defaultButton);
    }
    QMessageBox::StandardButton warning(QWidget*, const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        return answer(title, text, buttons, defaultButton);
    }
    QMessageBox::StandardButton critical(QWidget*, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) override
    {
        return answer(title, text, buttons, defaultButton);
    }
    QMessageBox::StandardButton information(QWidget*, const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) override
    {
        return answer(title, text, buttons, defaultButton);
    }
    QString getOpenFileName(QWidget*, const QString& caption, const QString&, const QString&,
                            QString*) override
    {
        return cancelled(caption);
    }
    QString getSaveFileName(QWidget*, const QString& caption, const QString&, const QString&,
                            QString*) override
    {
        return cancelled(caption);
    }
    QString getExistingDirectory(QWidget*, const QString& caption, const QString&) override
    {
        return cancelled(caption);
    }

private:
    static QMessageBox::StandardButton answer(const QString& title, const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton)
    {
        std::fprintf(stderr, "screenshots: box \"%s\": %s\n", qPrintable(title), qPrintable(text));
        if (defaultButton != QMessageBox::NoButton)
            return defaultButton;
        return buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel
            : buttons.testFlag(QMessageBox::No)      ? QMessageBox::No
                                                     : QMessageBox::Ok;
    }
    static QString cancelled(const QString& caption)
    {
        std::fprintf(stderr, "screenshots: file dialog \"%s\" cancelled\n", qPrintable(caption));
        return QString();
    }
};

// Lets layouts, repaints and background label renders finish.
void settle(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

QString fileName(const QString& prefix, int number, const QString& text)
{
    QString name = text;
    name.remove(QLatin1Char('&'));
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("-"));
    name.remove(QRegularExpression(QStringLiteral("^-+|-+$")));
    return number < 0 ? QStringLiteral("%1-%2.png").arg(prefix, name)
                      : QStringLiteral("%1-%2-%3.png").arg(prefix).arg(number).arg(name);
}

bool write(QWidget* widget, const QString& path)
{
    const bool ok = widget->grab().save(path, "PNG");
    std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

// Triggers the action and photographs the modal dialog it opens, then closes the dialog. Works for
// flows that run the dialog from within the trigger as for those queued after it. prepare, when set,
// fills the dialog in first.
bool photographDialog(QAction* action, const QString& path,
                      const std::function<void(QWidget*)>& prepare = nullptr)
{
    bool written = false;
    bool done = false;
    int polls = 0;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(100);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ++polls;
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && prepare && polls == 1)
            prepare(modal);
        // Give up after ten seconds without a dialog; give one a few polls to lay out and draw.
        if (!modal ? polls < 100 : polls < 8)
            return;
        if (modal)
            written = write(modal, path);
        else
            std::fprintf(stderr, "screenshots: \"%s\" opened no dialog\n", qPrintable(action->text()));
        poll.stop();
        done = true;
        if (modal)
            modal->close();
        loop.quit();
    });
    poll.start();
    action->trigger();
    if (!done)
        loop.exec();
    return written;
}

// Types the text over a line edit's contents as one edit, as a paste does.
void typeInto(QWidget* parent, const char* name, const QString& text)
{
    auto* edit = parent->findChild<QLineEdit*>(QString::fromLatin1(name));
    if (!edit) {
        std::fprintf(stderr, "screenshots: no field %s\n", name);
        return;
    }
    edit->setFocus();
    edit->selectAll();
    edit->insert(text);
}

// Makes the side tab that holds the page current.
void showPage(MainWindow& window, QWidget* page)
{
    Core::Internal::FancyTabWidget* tabs = window.tabWidget();
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->widget(i) == page)
            tabs->setCurrentIndex(i);
}

// Photographs the other tabs of each tab bar the page shows itself, then goes back to the first.
bool photographInnerTabs(QWidget& window, QWidget* page, const QString& prefix)
{
    bool ok = true;
    QSet<QString> written;
    for (QTabWidget* inner : page->findChildren<QTabWidget*>()) {
        if (!inner->isVisible())
            continue;
        const int shown = inner->currentIndex();
        for (int j = 0; j < inner->count(); ++j) {
            if (j == shown || !inner->isTabEnabled(j))
                continue;
            inner->setCurrentIndex(j);
            settle(500);
            // Pages with a tab bar per side name their tabs alike.
            QString path
                = QStringLiteral("%1-%2").arg(prefix, fileName(QString(), -1, inner->tabText(j)).mid(1));
            for (int k = 2; written.contains(path); ++k)
                path = QStringLiteral("%1-%2-%3")
                           .arg(prefix, fileName(QString(), -1, inner->tabText(j)).mid(1).chopped(4))
                           .arg(k)
                    + QStringLiteral(".png");
            written.insert(path);
            ok = write(&window, path) && ok;
        }
        inner->setCurrentIndex(shown);
    }
    return ok;
}

// A new road, its PI rows typed (the first a point, then curves turning along a road heading south),
// applied and shown as elements.
bool photographNewRoad(MainWindow& window, const QDir& out, const QString& road)
{
    Zemko::Trelvin::Trelvin* document = Zemko::Trelvin::Trelvin::instance();
    document->closeRoad();
    if (!document->createRoad(road)) {
        std::fprintf(stderr, "screenshots: cannot make %s\n", qPrintable(road));
        return false;
    }
    auto* page = window.findChild<HorizontalAlignmentWidget*>();
    auto* table = window.findChild<PointOfIntersectionTableWidget*>();
    if (!page || !table) {
        std::fprintf(stderr, "screenshots: no horizontal page\n");
        return false;
    }
    showPage(window, page);
    page->editor()->tabs()->setCurrentIndex(0);
    settle(300);

    // Station, north, east, spiral in, radius, spiral out.
    const QStringList rows[] = {
        { "K0+000", "3512000.000", "498000.000" },
        { "", "3511400.000", "498250.000", "60", "400", "60" },
        { "", "3510750.000", "497800.000", "80", "500", "80" },
        { "", "3510000.000", "498050.000", "", "", "" },
    };
    for (const QStringList& row : rows) {
        table->on_appendButton_clicked();
        const int r = table->model()->rowCount() - 1;
        for (int column = 0; column < row.size(); ++column)
            if (!row.at(column).isEmpty())
                table->model()->setData(table->model()->index(r, column), row.at(column), Qt::EditRole);
    }
    settle(300);
    bool ok = write(&window, out.filePath(QStringLiteral("new-road-1-typed-PIs.png")));

    table->findChild<QPushButton*>(QStringLiteral("applyButton"))->click();
    settle(1000);
    ok = write(&window, out.filePath(QStringLiteral("new-road-2-after-Apply.png"))) && ok;
    // The elements with their azimuths in view.
    page->editor()->tabs()->setCurrentIndex(1);
    if (auto* elements = window.findChild<HorizontalElementTableWidget*>())
        elements->form()->tableView->scrollTo(
            elements->model()->index(0, Zemko::Trelvin::HorizontalElementTableModel::LengthColumn));
    settle(500);
    ok = write(&window, out.filePath(QStringLiteral("new-road-3-Horizontal-Elements.png"))) && ok;
    page->editor()->tabs()->setCurrentIndex(0);
    return ok;
}

// A profile, a lane of 3.5 at -2 % and a shoulder of 1 at -4 % on each side, and slopes from a small
// library: a cut with a ditch on the left, a fill with a berm on the right.
const char* const shortRoadParts = R"(<?xml version="1.0" encoding="UTF-8"?>
<Road>
    <Version>4</Version>
    <FullVersion>67239936</FullVersion>
    <VerticalAlignment>
        <element><mile>0</mile><height>152</height><radius>0</radius></element>
        <element><mile>260</mile><height>155.5</height><radius>4000</radius></element>
        <element><mile>507.06</mile><height>153</height><radius>0</radius></element>
    </VerticalAlignment>
    <StandardSection><left>
        <element><template><name>lane</name><width>3.5</width><slope>-2</slope><delta_elevation>0</delta_elevation></template></element>
        <element><template><name>shoulder</name><width>1</width><slope>-4</slope><delta_elevation>0</delta_elevation></template></element>
    </left><right>
        <element><template><name>lane</name><width>3.5</width><slope>-2</slope><delta_elevation>0</delta_elevation></template></element>
        <element><template><name>shoulder</name><width>1</width><slope>-4</slope><delta_elevation>0</delta_elevation></template></element>
    </right></StandardSection>
    <SlopeSectionLibrary>
        <template><type>0</type><name>Bank</name><element><type>0</type><name>upper</name><height>3</height><ratio>1.5</ratio></element><element><type>1</type><name>berm</name><width>2</width><slope>4</slope></element><element><type>0</type><name>lower</name><height>4</height><ratio>1.75</ratio></element></template>
        <template><type>1</type><name>Cutting</name><element><type>2</type><name>ditch</name><inner_height>0.6</inner_height><bottom_width>0.4</bottom_width><outer_height>0.8</outer_height></element><element><type>0</type><name>face</name><height>3</height><ratio>1</ratio></element></template>
    </SlopeSectionLibrary>
    <SlopeSection>
        <left><template><name>hill</name><begin_station>0</begin_station><end_station>507.06</end_station><begin_reference>Cutting</begin_reference><end_reference>Cutting</end_reference></template></left>
        <right><template><name>bank</name><begin_station>0</begin_station><end_station>507.06</end_station><begin_reference>Bank</begin_reference><end_reference>Bank</end_reference></template></right>
    </SlopeSection>
</Road>
)";

// The short road: a straight, an arc and a straight, 507.06 m heading north-east, as elements.
bool writeShortRoad(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(shortRoadParts) < 0)
        return false;
    file.close();
    Pelko::Road::RoadSurface road(path.toLocal8Bit().toStdString());
    if (!road.load())
        return false;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Pelko::Road::HorizontalElementConfiguration elements;
    elements.append(Pelko::Road::HorizontalElement::createLine(Pelko::Corvex::Angle(M_PI / 3), 200.0,
                                                               Pelko::Corvex::Point(3000.0, 5000.0), 0.0));
    elements.append(Pelko::Road::HorizontalElement::createArc(Pelko::Corvex::Angle(nan), 107.06, 400.0,
                                                              Pelko::Corvex::Point::invalid(), nan));
    elements.append(Pelko::Road::HorizontalElement::createLine(Pelko::Corvex::Angle(nan), 200.0,
                                                               Pelko::Corvex::Point::invalid(), nan));
    road.getHorizontalAligment()->setElements(elements);
    return road.save();
}

// The short road's plan in the maximised window, and its section with the narrow shoulders.
bool photographShortRoad(MainWindow& window, const QDir& out, const QString& road)
{
    Zemko::Trelvin::Trelvin* document = Zemko::Trelvin::Trelvin::instance();
    document->closeRoad();
    if (!writeShortRoad(road) || !document->openRoad(road)) {
        std::fprintf(stderr, "screenshots: cannot make %s\n", qPrintable(road));
        return false;
    }
    const QRect screen = window.screen()->availableGeometry();
    window.showMaximized();
    // Without a window manager the maximised state alone does not resize the window.
    window.setGeometry(screen);
    auto* page = window.findChild<HorizontalAlignmentWidget*>();
    showPage(window, page);
    // The elements from their first column.
    if (auto* elements = window.findChild<HorizontalElementTableWidget*>())
        elements->form()->tableView->scrollTo(elements->model()->index(0, 0));
    settle(1000);
    bool ok = write(&window, out.filePath(QStringLiteral("short-road-1-plan.png")));

    auto* check = window.findChild<QAction*>(QStringLiteral("actionCheckStation"));
    if (!check) {
        std::fprintf(stderr, "screenshots: no check by station\n");
        return false;
    }
    ok = photographDialog(check, out.filePath(QStringLiteral("short-road-2-Check-by-Station.png")),
                          [](QWidget* dialog) { typeInto(dialog, "stationEdit", QStringLiteral("K0+100")); })
        && ok;
    return ok;
}

// The slope page of a copy of the road: a left segment selected and drawn
// (slope-page-1-selected.png), then deleted, the drawing following the table
// (slope-page-2-after-Delete.png).
bool photographSlopeDelete(MainWindow& window, const QDir& out, const QString& source, const QString& road)
{
    Zemko::Trelvin::Trelvin* document = Zemko::Trelvin::Trelvin::instance();
    document->closeRoad();
    QFile::remove(road);
    if (!QFile::copy(source, road) || !QFile::setPermissions(road, QFile::ReadOwner | QFile::WriteOwner)
        || !document->openRoad(road)) {
        std::fprintf(stderr, "screenshots: cannot open a copy of %s\n", qPrintable(source));
        return false;
    }
    auto* page = window.findChild<SlopeUseLibWidget*>();
    QTableView* left = page ? page->editor()->tableView(Pelko::Road::SlopeSideLeft) : nullptr;
    if (!left || left->model()->rowCount() < 2) {
        std::fprintf(stderr, "screenshots: no slope segments to delete\n");
        return false;
    }
    showPage(window, page);
    const QModelIndex second = left->model()->index(1, 0);
    left->setCurrentIndex(second);
    page->editor()->onClicked(second);
    settle(700);
    bool ok = write(&window, out.filePath(QStringLiteral("slope-page-1-selected.png")));
    page->editor()->onBtnDeleteClick();
    settle(700);
    ok = write(&window, out.filePath(QStringLiteral("slope-page-2-after-Delete.png"))) && ok;
    return ok;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: %s OUTDIR ROAD [WIDTH HEIGHT]\n", argv[0]);
        return 2;
    }
    // A private settings folder: the user's recent roads stay as they are.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());

    QApplication application(argc, argv);
    Zemko::Trelvin::prepareApplication(application);
    QuietPrompter prompter;
    Zemko::Trelvin::Prompter::setInstance(&prompter);

    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString road = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const int width = argc == 5 ? QByteArray(argv[3]).toInt() : 1280;
    const int height = argc == 5 ? QByteArray(argv[4]).toInt() : 800;
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "screenshots: cannot make %s\n", argv[1]);
        return 1;
    }

    bool ok = true;
    {
        MainWindow window;
        window.resize(width, height);
        window.show();
        settle(300);
        if (!Zemko::Trelvin::Trelvin::instance()->openRoad(road)) {
            std::fprintf(stderr, "screenshots: cannot open %s\n", qPrintable(road));
            return 1;
        }

        Core::Internal::FancyTabWidget* tabs = window.tabWidget();
        for (int i = 0; i < tabs->count(); ++i) {
            if (!tabs->tabBar()->isTabEnabled(i))
                continue;
            tabs->setCurrentIndex(i);
            settle(700);
            const QString name = fileName(QStringLiteral("tab"), i, tabs->tabBar()->tabText(i));
            ok = write(&window, out.filePath(name)) && ok;
            ok = photographInnerTabs(window, tabs->widget(i), out.filePath(name.chopped(4))) && ok;
        }

        const auto* tools = window.findChild<QMenu*>(QStringLiteral("menuTools"));
        for (QAction* action : tools->actions()) {
            if (action->isSeparator() || action->menu() || !action->isEnabled())
                continue;
            // Check by station shows a station in the first curve, where both sides have slopes.
            std::function<void(QWidget*)> prepare;
            if (action->objectName() == QLatin1String("actionCheckStation"))
                prepare = [](QWidget* dialog) { typeInto(dialog, "stationEdit", QStringLiteral("K0+900")); };
            ok = photographDialog(
                     action, out.filePath(fileName(QStringLiteral("dialog"), -1, action->text())), prepare)
                && ok;
        }

        QTemporaryDir roads;
        ok = photographSlopeDelete(window, out, road, roads.filePath(QStringLiteral("slope-road.rod"))) && ok;
        ok = photographNewRoad(window, out, roads.filePath(QStringLiteral("new-road.rod"))) && ok;
        ok = photographShortRoad(window, out, roads.filePath(QStringLiteral("short-road.rod"))) && ok;
        window.close();
    }
    Zemko::Trelvin::Prompter::setInstance(nullptr);
    return ok ? 0 : 1;
}
