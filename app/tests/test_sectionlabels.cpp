#include "check/crosssectionslopecurve.h"
#include "check/stationcheckdialog.h"
#include "framework/plotmarkers.h"
#include "framework/roadplot.h"
#include "support/recordingdevice.h"
#include "test_checkroads.h"

#include <qttestmain.h>

#include <qwt_plot_canvas.h>
#include <qwt_scale_map.h>

#include <QFile>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace Zemko::Trelvin;
using namespace Zemko::Trelvin::Data;

namespace {

// What the section's items draw for the plot's current view.
const RecordingEngine& drawnBy(const CrossSectionSlopeCurve& curve, const QwtPlot& plot,
                               RecordingDevice& device)
{
    const QwtScaleMap x = plot.canvasMap(QwtPlot::xBottom);
    const QwtScaleMap y = plot.canvasMap(QwtPlot::yLeft);
    const QRectF canvas = plot.canvas()->contentsRect();
    QPainter painter(&device);
    painter.setFont(plot.canvas()->font());
    curve.plateMarkers()->draw(&painter, x, y, canvas);
    curve.slopeMarkers()->draw(&painter, x, y, canvas);
    curve.namedPoints()->draw(&painter, x, y, canvas);
    painter.end();
    return device.recorded();
}

bool isName(const DrawnText& text)
{
    return text.colour == QColor(Qt::cyan);
}

// The two lines of a slope's text, drawn one under the other at the font's line spacing.
bool oneText(const DrawnText& a, const DrawnText& b)
{
    return a.place == b.place
        && a.text.startsWith(QLatin1String("h=")) != b.text.startsWith(QLatin1String("h="))
        && (a.text.startsWith(QLatin1String("1:")) || b.text.startsWith(QLatin1String("1:")));
}

// A straight of 250 with the profile; on both sides a lane of 3.5 at -2 % and a shoulder of 1 at
// -4 %; cut slopes with a ditch on the left, fill slopes with a berm on the right.
bool writeNarrowShoulders(const QString& path)
{
    using SectionRoads::element;
    const QByteArray side = element("lane", 3.5, -2.0) + element("shoulder", 1.0, -4.0);
    const QByteArray slopes = "    <SlopeSection>\n        <left>\n"
        + SlopeLibRoads::segment("hill", 0, 250, "Cut A", "Cut A") + "        </left>\n        <right>\n"
        + SlopeLibRoads::segment("bank", 0, 250, "Fill B", "Fill B")
        + "        </right>\n    </SlopeSection>\n";
    return CheckRoads::write(
        path, CheckRoads::profile() + SectionRoads::section(side, side) + SlopeLibRoads::library() + slopes,
        CheckRoads::straight(250.0));
}

// A map of a 400 x 300 canvas showing 40 across (x) or 30 up (y).
QwtScaleMap tenPixelsAUnit(bool up)
{
    QwtScaleMap map;
    map.setPaintInterval(up ? 300 : 0, up ? 0 : 400);
    map.setScaleInterval(0, up ? 30 : 40);
    return map;
}

bool copyExample(const QString& path)
{
    return QFile::copy(QStringLiteral(TRELVIN_EXAMPLES_DIR "/ridge-road.rod"), path);
}

} // namespace

class TestSectionLabels : public QObject
{
    Q_OBJECT

private:
    CheckRoads::Folder folder;

private slots:
    void init() { QVERIFY(folder.renew()); }
    void cleanup() { Trelvin::instance()->closeRoad(); }

    // Check by station on 1 m shoulders at -4 %, in dialogs of several sizes: every text the section
    // plot draws is whole and within the canvas, and no width, grade or slope text lies on a point's
    // name or dot or on another such text.
    void narrowShouldersReadWhole_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("designed") << QSize(1098, 792);
        QTest::newRow("narrow") << QSize(700, 600);
        QTest::newRow("wide") << QSize(1600, 900);
    }

    void narrowShouldersReadWhole()
    {
        QFETCH(QSize, size);
        Pelko::Road::RoadSurface* road = folder.open(writeNarrowShoulders);
        QVERIFY(road);
        StationCheckDialog dialog(road);
        dialog.resize(size);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        CheckRoads::type(CheckRoads::child<QLineEdit>(&dialog, "stationEdit"), QStringLiteral("K0+050"));
        QCOMPARE(dialog.curve()->plateMarkers()->markers().size(), 5);

        RecordingDevice device(dialog.plot()->canvas()->size());
        const RecordingEngine& drawn = drawnBy(*dialog.curve(), *dialog.plot(), device);
        const QRectF canvas = dialog.plot()->canvas()->contentsRect();
        QStringList shown;
        for (const DrawnText& text : drawn.texts) {
            QVERIFY2(!text.cut, qPrintable(text.text));
            QVERIFY2(within(text.box, canvas), qPrintable(text.text));
            if (isName(text))
                continue;
            shown.append(text.text);
            for (const DrawnText& other : drawn.texts)
                if (&other != &text && !oneText(text, other))
                    QVERIFY2(!overlap(text.box, other.box), qPrintable(text.text + " on " + other.text));
            for (const QRectF& dot : drawn.dots)
                QVERIFY2(!overlap(text.box, QPolygonF(dot)), qPrintable(text.text));
        }
        // The lanes' texts keep their places; the shoulders' give way, moved or left out.
        QCOMPARE(shown.count(QStringLiteral("3.50")), 2);
        QCOMPARE(shown.count(QStringLiteral("2.00%")), 2);
        QVERIFY(shown.count(QStringLiteral("1:1.5")) == 1 && shown.count(QStringLiteral("1:1.75")) == 1);
        // Every name, "O" once per side.
        QCOMPARE(drawn.texts.size() - shown.size(), 12);
    }

    // The points' names as painted, on the 1 m shoulders (whose ditch puts three points within a few
    // pixels) and on the example road, in dialogs of several sizes: each is whole and within the
    // canvas, on no other name and no dot, and every point's name shows (the centre line's "O",
    // listed once per side, is drawn at one place).
    void namesReadWhole_data()
    {
        QTest::addColumn<bool>("example");
        QTest::addColumn<QString>("station");
        QTest::addColumn<QSize>("size");
        QTest::newRow("shoulders, designed") << false << "K0+050" << QSize(1098, 792);
        QTest::newRow("shoulders, narrow") << false << "K0+050" << QSize(700, 600);
        QTest::newRow("shoulders, wide") << false << "K0+050" << QSize(1600, 900);
        QTest::newRow("example, designed") << true << "K0+900" << QSize(1098, 792);
        QTest::newRow("example, narrow") << true << "K0+900" << QSize(700, 600);
        QTest::newRow("example, straight") << true << "K2+400" << QSize(1098, 792);
    }

    void namesReadWhole()
    {
        QFETCH(bool, example);
        QFETCH(QString, station);
        QFETCH(QSize, size);
        Pelko::Road::RoadSurface* road = folder.open(example ? copyExample : writeNarrowShoulders);
        QVERIFY(road);
        StationCheckDialog dialog(road);
        dialog.resize(size);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        CheckRoads::type(CheckRoads::child<QLineEdit>(&dialog, "stationEdit"), station);

        RecordingDevice device(dialog.plot()->canvas()->size());
        const RecordingEngine& drawn = drawnBy(*dialog.curve(), *dialog.plot(), device);
        const QRectF canvas = dialog.plot()->canvas()->contentsRect();
        QVector<DrawnText> names;
        for (const DrawnText& text : drawn.texts)
            if (isName(text) && std::none_of(names.cbegin(), names.cend(), [&](const DrawnText& name) {
                    return name.text == text.text && name.box == text.box;
                }))
                names.append(text);
        QStringList shown;
        for (const DrawnText& name : names) {
            QVERIFY2(!name.cut, qPrintable(name.text));
            QVERIFY2(within(name.box, canvas), qPrintable(name.text));
            for (const DrawnText& other : names)
                if (&other != &name)
                    QVERIFY2(!overlap(name.box, other.box), qPrintable(name.text + " on " + other.text));
            for (const QRectF& dot : drawn.dots)
                QVERIFY2(!overlap(name.box, QPolygonF(dot)), qPrintable(name.text));
            shown.append(name.text);
        }
        QStringList expected;
        for (const NamedPoint& point : dialog.curve()->namedPoints()->points())
            if (!expected.contains(point.name))
                expected.append(point.name);
        QVERIFY(expected.size() >= 7);
        std::sort(shown.begin(), shown.end());
        std::sort(expected.begin(), expected.end());
        QCOMPARE(shown, expected);
    }

    // The names' layout itself: a name sits below its dot unless the drawn line crosses it there, a
    // name repeated at the same dot goes to the same place, and a canvas too small for a name shows
    // none.
    void namesTakeFreePlaces()
    {
        const QwtScaleMap x = tenPixelsAUnit(false);
        const QwtScaleMap y = tenPixelsAUnit(true);
        const QFontMetricsF metrics((QFont()));
        const QRectF canvas(0, 0, 400, 300);
        const QVector<NamedPoint> names { { QStringLiteral("O"), 15, 15 },
                                          { QStringLiteral("O"), 15, 15 },
                                          { QStringLiteral("R9"), 25, 15 } };
        // Down from the last point, through the place below it.
        const QVector<QPointF> line { QPointF(25, 15), QPointF(25, 10) };

        const QVector<MarkerText> placed = Data::Internal::layoutNames(names, line, x, y, canvas, metrics);
        QCOMPARE(placed.size(), 3);
        QVERIFY(placed[0].shown && placed[1].shown && placed[2].shown);
        QCOMPARE(placed[0].rect.top(), 155.0);
        QCOMPARE(placed[1].rect, placed[0].rect);
        QVERIFY(placed[2].rect.bottom() <= 145.0);
        QVERIFY(std::abs(placed[2].rect.center().x() - 250.0) < 1e-9);
        // Without the line it keeps the usual place.
        QCOMPARE(Data::Internal::layoutNames(names, {}, x, y, canvas, metrics)[2].rect.top(), 155.0);

        const QRectF low(0, 140, 400, metrics.height() - 1.0);
        for (const MarkerText& name : Data::Internal::layoutNames(names, line, x, y, low, metrics))
            QVERIFY(!name.shown);
    }

    // The layout itself: a text keeps its place beside its marker while that is free, moves away from
    // the line when a name takes it, and is left out, never cut, when the canvas has no room for it.
    void textsMoveOrGiveWay()
    {
        const QwtScaleMap x = tenPixelsAUnit(false);
        const QwtScaleMap y = tenPixelsAUnit(true);
        const QFontMetricsF metrics((QFont()));
        const QRectF canvas(0, 0, 400, 300);
        // A plate of 1 (10 pixels) at 15 across and 15 up, and one of 10 beside it.
        const QVector<PlateMarker> plates { { false, QPointF(15, 15), 1.0, -0.04 },
                                            { false, QPointF(15, 25), 10.0, -0.02 } };

        MarkerTexts texts = Data::Internal::layoutMarkerTexts({}, plates, {}, x, y, canvas, metrics);
        QVERIFY(texts.lengths[0].shown && texts.lengths[1].shown && texts.grades[1].shown);
        QCOMPARE(texts.lengths[1].rect.top(), 8.0);
        QVERIFY(texts.lengths[0].rect.width() >= metrics.horizontalAdvance(QStringLiteral("1.00")));
        QVERIFY(texts.grades[0].rect.width() >= metrics.horizontalAdvance(QStringLiteral("4.00%")));

        // The names at the narrow plate's ends take the room below it.
        const QVector<NamedPoint> names { { QStringLiteral("R1"), 14.5, 15 },
                                          { QStringLiteral("R2"), 15.5, 15 } };
        texts = Data::Internal::layoutMarkerTexts(names, plates, {}, x, y, canvas, metrics);
        QCOMPARE(texts.names.size(), 4);
        QVERIFY(texts.lengths[0].shown);
        QVERIFY(texts.lengths[0].rect.top() > 8.0);
        for (const QRectF& name : texts.names)
            QVERIFY(!overlap(texts.lengths[0].box, QPolygonF(name)));

        // A canvas just below the plates: no place below them is left.
        const QRectF low(0, 0, 400, y.transform(15) + 10);
        texts = Data::Internal::layoutMarkerTexts(names, plates, {}, x, y, low, metrics);
        QVERIFY(!texts.lengths[0].shown && !texts.lengths[1].shown);
        QVERIFY(texts.grades[1].shown && within(texts.grades[1].box, low));
    }
};

TRELVIN_TEST_MAIN(TestSectionLabels)
#include "test_sectionlabels.moc"
