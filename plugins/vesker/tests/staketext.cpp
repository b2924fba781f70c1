#include <staketext.h>

#include <qttestmain.h>

#include <text/stationtext.h>

#include <cmath>
#include <limits>
#include <random>

using namespace Zemko::Trelvin;

namespace {

QString number(double value)
{
    QByteArray text;
    StakeText::appendNumber(text, value);
    return QString::fromUtf8(text);
}

QString station(double value, bool after)
{
    QByteArray text;
    StakeText::appendStation(text, value, after);
    return QString::fromUtf8(text);
}

QString azimuth(double degrees)
{
    QByteArray text;
    StakeText::appendAzimuth(text, degrees);
    return QString::fromUtf8(text);
}

// What the text library writes for the azimuth, with the signs of a stake list.
QString libraryAzimuth(double degrees)
{
    QString text = angleText(degrees * 3600.0);
    if (text.isEmpty())
        return text;
    text.replace(text.indexOf(QLatin1Char(':')), 1, QChar(0x00B0));
    text.replace(text.indexOf(QLatin1Char(':')), 1, QChar(0x2032));
    return text + QChar(0x2033);
}

// Values where the formatting has its edges: ties, signs, carries, huge and tiny magnitudes.
QVector<double> edgeValues()
{
    const double inf = std::numeric_limits<double>::infinity();
    QVector<double> values { 0.0,
                             -0.0,
                             0.0005,
                             -0.0005,
                             0.0625,
                             -0.0625,
                             1.1875,
                             123456.0625,
                             999.9995,
                             999.9994999,
                             -999.9995,
                             0.5,
                             5.5,
                             12345.678,
                             -1500.25,
                             1e-300,
                             -1e-300,
                             4e-324,
                             1e15,
                             -1e15,
                             0x1p40 + 0.0625,
                             0x1p45 + 0.5,
                             2147483648.5,
                             1e22,
                             -1e300,
                             1e300,
                             359.99999999999,
                             360.0,
                             360.0000001,
                             720.0,
                             -720.0,
                             -30.0 / 3600,
                             3599.999999 / 3600,
                             0.99999999999,
                             inf,
                             -inf,
                             std::numeric_limits<double>::quiet_NaN() };
    return values;
}

} // namespace

class StakeTextTest : public QObject
{
    Q_OBJECT

private slots:
    void examples();
    void matchesTheQtAndStationTextFormatters();
};

void StakeTextTest::examples()
{
    QCOMPARE(number(1000.0), QStringLiteral("1000.000"));
    QCOMPARE(number(-1.5), QStringLiteral("-1.500"));
    QCOMPARE(number(-0.0), QStringLiteral("0.000"));
    // Exact ties round away from zero, as Qt does.
    QCOMPARE(number(0.0625), QStringLiteral("0.063"));
    QCOMPARE(number(-1.0625), QStringLiteral("-1.063"));

    QCOMPARE(station(12345.678, false), QStringLiteral("K12+345.678"));
    QCOMPARE(station(5.5, false), QStringLiteral("K0+005.500"));
    QCOMPARE(station(-1500.25, false), QStringLiteral("-K1+500.250"));
    QCOMPARE(station(-0.5, false), QStringLiteral("-K0+000.500"));
    QCOMPARE(station(155.0, true), QStringLiteral("K0+155.000A"));
    QCOMPARE(station(std::numeric_limits<double>::quiet_NaN(), false), QString());

    QCOMPARE(azimuth(0.0), QStringLiteral("0°00′00.00000″"));
    QCOMPARE(azimuth(45.5), QStringLiteral("45°30′00.00000″"));
    QCOMPARE(azimuth(360.0), QStringLiteral("360°00′00.00000″"));
    QCOMPARE(azimuth(370.0), QStringLiteral("10°00′00.00000″"));
    QCOMPARE(azimuth(-30.0 / 3600.0), QStringLiteral("359°59′30.00000″"));
    QCOMPARE(azimuth(123.0 + 4.0 / 60.0 + 5.25 / 3600.0), QStringLiteral("123°04′05.25000″"));
    // A hair below a whole minute carries over instead of showing 60 seconds.
    QCOMPARE(azimuth(3599.999999 / 3600.0), QStringLiteral("1°00′00.00000″"));
    QCOMPARE(azimuth(std::numeric_limits<double>::infinity()), QString());
}

void StakeTextTest::matchesTheQtAndStationTextFormatters()
{
    QVector<double> values = edgeValues();
    std::mt19937_64 random(20);
    std::uniform_real_distribution<double> plane(-1e7, 1e7);
    std::uniform_real_distribution<double> turns(-1000.0, 1000.0);
    std::uniform_int_distribution<int> millimetres(-100000000, 100000000);
    for (int i = 0; i < 2500; ++i) {
        values << plane(random) << turns(random) << millimetres(random) * 0.001 << millimetres(random) / 16.0;
    }
    // Where the rounding to three decimals turns: half a millimetre, the doubles either side of it, and
    // every magnitude up to where the thousandths no longer fit a whole number.
    std::uniform_int_distribution<int> exponent(-12, 16);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    for (int i = 0; i < 5000; ++i) {
        const double half = millimetres(random) * 0.001 + 0.0005;
        values << half << std::nextafter(half, 1e300) << std::nextafter(half, -1e300);
        const double scaled = mantissa(random) * std::pow(10.0, exponent(random));
        values << scaled << -scaled;
    }
    // Azimuths at and beside every whole degree, where the seconds within the degree wrap.
    for (int degree = -1; degree <= 361; ++degree) {
        const double seconds = degree * 3600.0;
        values << double(degree) << std::nextafter(double(degree), -1e300) << std::nextafter(double(degree), 1e300)
               << std::nextafter(seconds, -1e300) / 3600.0 << std::nextafter(seconds, 1e300) / 3600.0;
    }
    for (double edge : { 1e15, 999999999999999.9, 999999999999999.4, 1e15 - 0.5, 9007199254740991.0 })
        values << edge << -edge << std::nextafter(edge, 0.0) << std::nextafter(edge, 1e300);
    for (double value : values) {
        const QByteArray context = QByteArray::number(value, 'g', 17);
        QVERIFY2(number(value) == QString::number(value, 'f', 3), context);
        for (bool after : { false, true })
            QVERIFY2(station(value, after) == stationToText(value, after), context);
        QVERIFY2(azimuth(value) == libraryAzimuth(value), context);
    }
}

TRELVIN_TEST_MAIN(StakeTextTest)
#include "staketext.moc"
