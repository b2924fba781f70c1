#include "qttestmain.h"

#include "shell/fancytabwidget.h"
#include "shell/resources.h"
#include "shell/styledbar.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QSignalSpy>

#include <memory>

using Core::Internal::FancyTabBar;
using Core::Internal::FancyTabWidget;
using Utils::PanelStyle;

namespace {

QWidget* page(const QString& title)
{
    auto* widget = new QLabel(title);
    widget->setWindowTitle(title);
    return widget;
}

void click(QWidget* widget, const QPoint& pos)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, pos);
}

void moveMouse(QWidget* widget, const QPoint& pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

bool isOrange(QRgb pixel)
{
    return qRed(pixel) > qGreen(pixel) + 40 && qGreen(pixel) > qBlue(pixel) + 20;
}

// A top-level window that counts its repaints.
class PaintCounter : public QWidget
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

} // namespace

class TestFancyTabs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Zemko::Trelvin::initResources();
        PanelStyle::setRequestedColor(Qt::gray);
    }

    void tabSizesFollowLabelsAndBarHeight()
    {
        FancyTabBar bar;
        bar.insertTab(0, QIcon(), QStringLiteral("A"));
        bar.insertTab(1, QIcon(), QStringLiteral("B"));
        // Labels narrower than 66 pixels leave the column at its minimum of 70.
        const QSize hint = bar.tabSizeHint();
        QCOMPARE(hint.width(), 70);
        QCOMPARE(bar.sizeHint(), QSize(70, 2 * hint.height()));
        QCOMPARE(bar.minimumSizeHint().height(), 2 * bar.tabSizeHint(true).height());
        QCOMPARE(bar.tabSizeHint(false).height() - bar.tabSizeHint(true).height(), 32);

        bar.resize(70, 10 * hint.height());
        QCOMPARE(bar.tabRect(1), QRect(0, hint.height(), 70, hint.height()));

        const QString wide(40, QLatin1Char('W'));
        bar.insertTab(1, QIcon(), wide);
        QCOMPARE(bar.tabText(1), wide);
        QCOMPARE(bar.tabText(2), QStringLiteral("B"));
        QVERIFY(bar.tabSizeHint().width() > 70);

        // Ten tabs in a column shorter than ten tab heights share its height, the remainder dropped.
        FancyTabBar squeezed;
        for (int i = 0; i < 10; ++i)
            squeezed.insertTab(i, QIcon(), QString::number(i));
        const int height = 10 * squeezed.tabSizeHint().height() - 7;
        squeezed.resize(70, height);
        QCOMPARE(squeezed.tabRect(9), QRect(0, 9 * (height / 10), 70, height / 10));
    }

    void clickSelectsOnlyEnabledTabs()
    {
        FancyTabWidget tabs;
        for (const char* title : { "Road Manager", "Stations Equation", "Horizontal Alignment" })
            tabs.addTab(page(QString::fromLatin1(title)), QIcon(QStringLiteral(":/edit/edit/Road.png")));
        tabs.setTabEnabled(0, true);
        tabs.setTabEnabled(1, true);
        tabs.resize(600, 500);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        FancyTabBar* bar = tabs.tabBar();
        QCOMPARE(bar->tabText(2), QStringLiteral("Horizontal Alignment"));
        QCOMPARE(bar->currentIndex(), -1);

        QSignalSpy changed(&tabs, &FancyTabWidget::currentChanged);
        click(bar, bar->tabRect(1).center());
        // The bar repaints first; the switch is announced from the event loop.
        QCOMPARE(bar->currentIndex(), 1);
        QCOMPARE(changed.count(), 0);
        QTRY_COMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 1);
        QCOMPARE(tabs.currentWidget(), tabs.widget(1));

        click(bar, bar->tabRect(2).center());
        click(bar, QPoint(5, bar->tabRect(2).bottom() + 5));
        QTest::qWait(20);
        QCOMPARE(bar->currentIndex(), 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(tabs.currentWidget(), tabs.widget(1));
    }

    void setCurrentIndexIgnoresDisabledAndRepeats()
    {
        FancyTabWidget tabs;
        tabs.addTab(page(QStringLiteral("one")), QIcon());
        tabs.addTab(page(QStringLiteral("two")), QIcon());
        tabs.setTabEnabled(0, true);
        QSignalSpy aboutToShow(&tabs, &FancyTabWidget::currentAboutToShow);
        QSignalSpy changed(&tabs, &FancyTabWidget::currentChanged);

        tabs.setCurrentIndex(1);
        tabs.setCurrentIndex(5);
        tabs.setCurrentIndex(-1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(tabs.currentIndex(), -1);

        tabs.setCurrentIndex(0);
        tabs.setCurrentIndex(0);
        QCOMPARE(aboutToShow.count(), 2);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(tabs.currentIndex(), 0);

        // Out-of-range flags are ignored rather than reaching a missing tab.
        tabs.setTabEnabled(7, true);
        tabs.setTabModified(-1, true);
        QVERIFY(!tabs.tabBar()->isTabEnabled(7));
        QVERIFY(!tabs.tabBar()->isTabModified(-1));
    }

    void replaceTabKeepsTheOldPageAndShowsTheNew()
    {
        FancyTabWidget tabs;
        tabs.addTab(page(QStringLiteral("zero")), QIcon());
        QWidget* old = page(QStringLiteral("old"));
        tabs.addTab(old, QIcon());
        tabs.setTabEnabled(1, true);
        tabs.setTabModified(1, true);
        tabs.setCurrentIndex(1);

        QPointer<QWidget> oldPage(old);
        QWidget* fresh = page(QStringLiteral("fresh"));
        tabs.replaceTab(1, fresh, QIcon(), QStringLiteral("Slope"));
        QVERIFY(oldPage);
        QCOMPARE(tabs.count(), 2);
        QCOMPARE(tabs.widget(1), fresh);
        QCOMPARE(tabs.tabBar()->tabText(1), QStringLiteral("Slope"));
        QVERIFY(!tabs.tabBar()->isTabEnabled(1));
        QVERIFY(!tabs.tabBar()->isTabModified(1));
        QCOMPARE(tabs.currentIndex(), 1);
        QCOMPARE(tabs.currentWidget(), fresh);

        const std::unique_ptr<QWidget> beyond(page(QStringLiteral("beyond")));
        tabs.replaceTab(2, beyond.get(), QIcon(), QStringLiteral("x"));
        tabs.removeTab(-1);
        QCOMPARE(tabs.count(), 2);
        QCOMPARE(tabs.tabBar()->count(), 2);
        delete old;
    }

    // Pages out of sight keep their updates off so that a switch does not walk their widgets; the page
    // shown must have them on, or it would never paint.
    void onlyTheShownPageUpdates()
    {
        FancyTabWidget tabs;
        PaintCounter* pages[3];
        for (int i = 0; i < 3; ++i) {
            pages[i] = new PaintCounter;
            tabs.addTab(pages[i], QIcon());
            tabs.setTabEnabled(i, true);
        }
        const auto shownAlone = [&](QWidget* shown) {
            for (int i = 0; i < tabs.count(); ++i) {
                if (tabs.widget(i)->updatesEnabled() != (tabs.widget(i) == shown))
                    return false;
            }
            return shown == tabs.currentWidget();
        };
        QVERIFY(shownAlone(pages[0]));
        tabs.resize(500, 400);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));

        tabs.setCurrentIndex(2);
        QVERIFY(shownAlone(pages[2]));
        const int before = pages[2]->paints;
        pages[2]->update();
        QTRY_VERIFY(pages[2]->paints > before);

        QPointer<QWidget> replaced(pages[2]);
        PaintCounter* fresh = new PaintCounter;
        tabs.replaceTab(2, fresh, QIcon(), QStringLiteral("fresh"));
        QVERIFY(shownAlone(fresh));
        // A page taken out gets its updates back.
        QVERIFY(replaced && replaced->updatesEnabled());
        QTRY_VERIFY(fresh->paints > 0);

        tabs.removeTab(2);
        QVERIFY(shownAlone(tabs.currentWidget()));
        QVERIFY(fresh->updatesEnabled());
        delete fresh;
        delete replaced;
    }

    void hoveringSurvivesARemovedTab()
    {
        FancyTabWidget tabs;
        for (int i = 0; i < 3; ++i)
            tabs.addTab(page(QString::number(i)), QIcon());
        for (int i = 0; i < 3; ++i)
            tabs.setTabEnabled(i, true);
        tabs.resize(400, 400);
        FancyTabBar* bar = tabs.tabBar();
        moveMouse(bar, bar->tabRect(2).center());
        tabs.removeTab(2);
        moveMouse(bar, bar->tabRect(0).center());
        moveMouse(bar, QPoint(5, bar->height() - 2));
        QCOMPARE(bar->count(), 2);
    }

    void modifiedMarkShowsOnlyOnEnabledTabs()
    {
        FancyTabWidget tabs;
        for (int i = 0; i < 3; ++i)
            tabs.addTab(page(QString::number(i)), QIcon(QStringLiteral(":/edit/edit/Slope.png")));
        tabs.setTabEnabled(0, true);
        tabs.setTabEnabled(1, true);
        tabs.setCurrentIndex(0);
        tabs.setTabModified(1, true);
        tabs.setTabModified(2, true);
        QVERIFY(tabs.tabBar()->isTabModified(2));
        tabs.resize(500, 400);

        FancyTabBar* bar = tabs.tabBar();
        const QImage image = bar->grab().toImage();
        auto pixelIn = [&](int index) { return image.pixel(bar->tabRect(index).topLeft() + QPoint(3, 3)); };
        QVERIFY(isOrange(pixelIn(1)));
        QVERIFY(!isOrange(pixelIn(2)));
        QVERIFY(!isOrange(pixelIn(0)));

        tabs.setTabModified(1, false);
        QVERIFY(!isOrange(bar->grab().toImage().pixel(bar->tabRect(1).topLeft() + QPoint(3, 3))));
    }

    void panelColoursDeriveFromTheRequest()
    {
        PanelStyle::setRequestedColor(Qt::gray);
        // gray is #a0a0a4: hue 240, saturation 6, value 164.
        QCOMPARE(PanelStyle::requestedColor(), QColor(Qt::gray));
        QCOMPARE(PanelStyle::panelColor().hsvHue(), 240);
        QCOMPARE(PanelStyle::panelColor().hsvSaturation(), 4);
        QCOMPARE(PanelStyle::panelColor().value(), 118);
        QCOMPARE(PanelStyle::edgeColor(false).value(), 59);
        QCOMPARE(PanelStyle::brightColor(false).value(), 136);
        QCOMPARE(PanelStyle::deepColor(false).value(), 82);
        QCOMPARE(PanelStyle::labelColor(false), QColor(Qt::white));
        QCOMPARE(PanelStyle::labelColor(true), QColor(Qt::black));
        // The light variant starts from the panel colour lightened to 230 %, which saturates here.
        QCOMPARE(PanelStyle::brightColor(true).value(), 255);
    }

    void repeatedRequestRepaintsOnlyOnce()
    {
        PaintCounter window;
        window.resize(50, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PanelStyle::setRequestedColor(Qt::gray);
        QTest::qWait(20);
        const int before = window.paints;
        PanelStyle::setRequestedColor(Qt::darkCyan);
        QTRY_VERIFY(window.paints > before);
        const int after = window.paints;
        PanelStyle::setRequestedColor(Qt::darkCyan);
        QTest::qWait(50);
        QCOMPARE(window.paints, after);
        QCOMPARE(PanelStyle::requestedColor(), QColor(Qt::darkCyan));
        PanelStyle::setRequestedColor(Qt::gray);
    }

    void gradientRunsFromDeepLeftToBrightRight()
    {
        QImage image(120, 40, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        const QRect span = image.rect();
        PanelStyle::paintPanelGradient(&painter, span, span, false);
        // Painting again over half the span reuses nothing of the first and keeps the colours.
        PanelStyle::paintPanelGradient(&painter, span, QRect(0, 0, 60, 40), false);
        painter.end();
        QVERIFY(qGray(image.pixel(110, 20)) > qGray(image.pixel(10, 20)));
        QCOMPARE(qAlpha(image.pixel(60, 20)), 255);
    }

    void disabledIconIsGrey()
    {
        QPixmap red(16, 16);
        red.fill(Qt::red);
        const QIcon icon(red);
        for (int round = 0; round < 2; ++round) {
            QImage image(40, 40, QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            PanelStyle::paintIconShadowed(icon, QRect(4, 4, 32, 32), &painter, QIcon::Disabled, 3,
                                          QColor(0, 0, 0, 130), QPoint(1, -2));
            painter.end();
            const QRgb centre = image.pixel(19, 21);
            QVERIFY(qAlpha(centre) == 255 && qRed(centre) < 250);
            QCOMPARE(qRed(centre), qGreen(centre));
            QCOMPARE(qGreen(centre), qBlue(centre));
        }
        // An icon with nothing to draw paints nothing.
        QImage empty(10, 10, QImage::Format_ARGB32);
        empty.fill(Qt::white);
        QPainter painter(&empty);
        PanelStyle::paintIconShadowed(QIcon(), QRect(0, 0, 10, 10), &painter, QIcon::Normal, 3, Qt::black,
                                      QPoint(1, -2));
        painter.end();
        QCOMPARE(empty.pixel(5, 5), qRgb(255, 255, 255));
    }
};

TRELVIN_TEST_MAIN(TestFancyTabs)
#include "test_fancytabs.moc"
