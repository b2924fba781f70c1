#include <text/angletext.h>
#include <text/stationtext.h>

#include <qttestmain.h>

#include <QRandomGenerator>

#include <cmath>

using namespace Zemko::Trelvin;

Q_DECLARE_METATYPE(QValidator::State)

class AngleTextTest : public QObject
{
    Q_OBJECT

private slots:
    void dms_data();
    void dms();
    void dmsNeverShowsSixty();
    void dmsMatchesArgFormatting();
    void azimuth_data();
    void azimuth();
    void packedAngles();
    void everyPackedMinuteAndSecondReadsExactly();
    void normalize();
    void fromText_data();
    void fromText();
    void validate_data();
    void validate();
    void fixup_data();
    void fixup();
};

void AngleTextTest::dms_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0:00:00.00000";
    QTest::newRow("45.5 degrees") << 163800.0 << "45:30:00.00000";
    QTest::newRow("fraction") << 3723.5 << "1:02:03.50000";
    QTest::newRow("negative") << -30.0 << "-0:00:30.00000";
    QTest::newRow("hair below a degree") << 3599.999999 << "1:00:00.00000";
    QTest::newRow("hair below a minute") << 119.999996 << "0:02:00.00000";
    QTest::newRow("negative hair below") << -7199.999999 << "-2:00:00.00000";
    QTest::newRow("rounds down") << 59.999994 << "0:00:59.99999";
    QTest::newRow("many degrees") << 3600.0 * 1e9 + 61.25 << "1000000000:01:01.25000";
    QTest::newRow("nan") << qQNaN() << "";
    QTest::newRow("infinite") << qInf() << "";
    QTest::newRow("negative infinite") << -qInf() << "";
}

void AngleTextTest::dms()
{
    QFETCH(double, seconds);
    QTEST(dmsText(seconds), "text");
}

void AngleTextTest::dmsNeverShowsSixty()
{
    // Values just either side of every whole minute of the first two degrees, and random ones:
    // minutes and seconds stay below 60 and the text reads back to the value.
    QVector<double> values;
    for (int minute = 1; minute <= 120; ++minute) {
        for (double offset : { -1e-6, -5e-6, -4.9e-6, -1e-9, 0.0, 1e-9, 4.9e-6 })
            values << minute * 60.0 + offset;
    }
    QRandomGenerator random(11);
    for (int i = 0; i < 2000; ++i)
        values << (random.generateDouble() - 0.5) * 2592000.0;

    for (double seconds : values) {
        const QString text = dmsText(seconds);
        const QStringList parts = text.split(QLatin1Char(':'));
        QCOMPARE(parts.size(), 3);
        QVERIFY2(parts.at(1).toInt() < 60, qPrintable(text));
        QVERIFY2(parts.at(2).toDouble() < 60.0, qPrintable(text));
        QCOMPARE(parts.at(2).size(), 8);
        bool ok = false;
        QVERIFY2(std::fabs(secondsFromDmsText(text, &ok) - seconds) <= 5.000001e-6, qPrintable(text));
        QVERIFY(ok);
    }
}

// The text as first built, with chained arg(); the hand-built text must be the same bytes.
QString argFormatted(double seconds)
{
    if (!std::isfinite(seconds))
        return QString();
    const double magnitude = std::fabs(seconds);
    const double withinDegree = std::fmod(magnitude, 3600.0);
    double degrees = std::round((magnitude - withinDegree) / 3600.0);
    long long count = std::llround(withinDegree * 1e5);
    if (count >= 3600LL * 100000LL) {
        degrees += 1.0;
        count -= 3600LL * 100000LL;
    }
    const long long minutes = count / (60LL * 100000LL);
    count %= 60LL * 100000LL;
    const QString secondsText = QStringLiteral("%1.%2")
                                    .arg(count / 100000, 2, 10, QLatin1Char('0'))
                                    .arg(count % 100000, 5, 10, QLatin1Char('0'));
    const QString text = QStringLiteral("%1:%2:%3")
                             .arg(QString::number(degrees, 'f', 0))
                             .arg(minutes, 2, 10, QLatin1Char('0'))
                             .arg(secondsText);
    return seconds < 0 ? QLatin1Char('-') + text : text;
}

void AngleTextTest::dmsMatchesArgFormatting()
{
    QVector<double> values = { 0.0,
                               -0.0,
                               0.000004,
                               0.000005,
                               -0.000005,
                               59.999995,
                               59.999994,
                               3599.999995,
                               3599.999994999,
                               -3599.999995,
                               3600.0,
                               1296000.0,
                               1295999.999995,
                               1e-300,
                               5e-324,
                               3.24e16,
                               3.2400000000000004e16,
                               1e20,
                               1e100,
                               -1e300,
                               1.7976931348623157e308 };
    QRandomGenerator random(41);
    for (int i = 0; i < 20000; ++i) {
        // Up to far beyond a turn, and values a rounding step below a minute or a degree.
        const double magnitude = std::pow(10.0, random.bounded(26.0) - 6.0);
        const double sign = random.bounded(2) ? 1.0 : -1.0;
        const double edge = double(random.bounded(360)) * 3600.0 + double(random.bounded(60)) * 60.0;
        values << sign * magnitude << sign * (edge - 0.000005) << sign * (edge + 59.999995);
    }
    for (double value : qAsConst(values))
        QCOMPARE(dmsText(value), argFormatted(value));
}

void AngleTextTest::azimuth_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("negative") << -30.0 << "359:59:30.00000";
    QTest::newRow("full turn") << 1296000.0 << "360:00:00.00000";
    QTest::newRow("two turns") << 2592000.0 << "360:00:00.00000";
    QTest::newRow("many turns") << 1296000.0 * 1e6 << "360:00:00.00000";
    QTest::newRow("turn backward") << -1296000.0 << "0:00:00.00000";
    QTest::newRow("past a turn") << 1296000.0 + 3723.5 << "1:02:03.50000";
    QTest::newRow("far past") << 1296000.0 * 1000 + 3723.5 << "1:02:03.50000";
    QTest::newRow("far back") << -1296000.0 * 1000 - 30 << "359:59:30.00000";
    QTest::newRow("nan") << qQNaN() << "";
    QTest::newRow("infinite") << qInf() << "";
    QTest::newRow("negative infinite") << -qInf() << "";
}

void AngleTextTest::azimuth()
{
    QFETCH(double, seconds);
    QTEST(angleText(seconds), "text");
}

void AngleTextTest::packedAngles()
{
    QCOMPARE(dmsToDegrees(12.3015), 12.5 + 15.0 / 3600.0);
    QCOMPARE(dmsToDegrees(-0.3), -0.5);
    QCOMPARE(dmsToDegrees(10.0075), 10.0 + 75.0 / 3600.0);
    QCOMPARE(dmsToDegrees(12.10), 12.0 + 10.0 / 60.0);
    QCOMPARE(dmsToDegrees(0.29), 29.0 / 60.0);
    QCOMPARE(dmsToDegrees(5e-11), 0.0);
    QCOMPARE(dmsToDegrees(-9e-11), 0.0);
    QVERIFY(std::fabs(degreesToDms(12.504166666666) - 12.3015) < 1e-9);
    QVERIFY(std::fabs(degreesToDms(-0.5) + 0.3) < 1e-9);
    QCOMPARE(degreesToDms(5e-11), 0.0);
    QCOMPARE(degreesToDms(359.99999999999), 360.0);
    QVERIFY(std::isnan(dmsToDegrees(qQNaN())));
    QVERIFY(std::isinf(degreesToDms(qInf())));

    // Huge values come back without hanging.
    QVERIFY(std::isfinite(dmsToDegrees(1e300)));
    QVERIFY(std::isfinite(degreesToDms(-1e300)));
}

void AngleTextTest::everyPackedMinuteAndSecondReadsExactly()
{
    // Plain subtraction of the minutes' hundredths misread over a third of all d.mm values by
    // 40 seconds; the tolerance is far below a thousandth of a second.
    const double tolerance = 1e-9;
    for (int d = 0; d < 360; ++d) {
        for (int m = 0; m < 60; ++m) {
            const double packed = d + m / 100.0;
            const double degrees = d + m / 60.0;
            QVERIFY2(std::fabs(dmsToDegrees(packed) - degrees) < tolerance,
                     qPrintable(QString::number(packed)));
            QVERIFY(std::fabs(dmsToDegrees(-packed) + degrees) < tolerance);
            QVERIFY(std::fabs(degreesToDms(degrees) - packed) < tolerance);
        }
    }
    for (int d : { 0, 1, 12, 89, 90, 179, 270, 359, 999 }) {
        for (int m = 0; m < 60; ++m) {
            for (int s = 0; s < 60; ++s) {
                for (double fraction : { 0.0, 0.5, 0.25, 0.999 }) {
                    const double sec = s + fraction;
                    const double packed = d + m / 100.0 + sec / 10000.0;
                    const double degrees = d + m / 60.0 + sec / 3600.0;
                    QVERIFY2(std::fabs(dmsToDegrees(packed) - degrees) < tolerance,
                             qPrintable(QString::number(packed, 'f', 10)));
                    QVERIFY(std::fabs(degreesToDms(degrees) - packed) < tolerance);
                }
            }
        }
    }
}

void AngleTextTest::normalize()
{
    QCOMPARE(normalizeDegrees(360.0), 360.0);
    QCOMPARE(normalizeDegrees(0.0), 0.0);
    QCOMPARE(normalizeDegrees(-30.0), 330.0);
    QCOMPARE(normalizeDegrees(725.0), 5.0);
    QCOMPARE(normalizeDegrees(720.0), 360.0);
    QCOMPARE(normalizeDegrees(-720.0), 0.0);
    QCOMPARE(normalizeDegrees(360.0 * 1e12 + 5.0), 5.0);
    const double huge = normalizeDegrees(1e300);
    QVERIFY(huge >= 0.0 && huge <= 360.0);
    QVERIFY(std::isnan(normalizeDegrees(qInf())));
    QVERIFY(std::isnan(normalizeDegrees(-qInf())));
    QVERIFY(std::isnan(normalizeDegrees(qQNaN())));
}

void AngleTextTest::fromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<bool>("ok");
    QTest::newRow("full") << "12:30:15.5" << 45015.5 << true;
    QTest::newRow("canonical") << "12:30:15.50000" << 45015.5 << true;
    QTest::newRow("negative minutes") << "-0:30" << -1800.0 << true;
    QTest::newRow("plus") << "+1:01" << 3660.0 << true;
    QTest::newRow("trailing point") << "12:30:15." << 45015.0 << true;
    QTest::newRow("trailing colon") << "1:2:3:4:" << 3723.4 << true;
    QTest::newRow("degrees only") << "45" << 162000.0 << true;
    QTest::newRow("spaces") << " 1 2 3 " << 3723.0 << true;
    QTest::newRow("any separators") << "1d02m03s" << 3723.0 << true;
    QTest::newRow("empty parts") << "::30" << 30.0 << true;
    QTest::newRow("empty") << "" << 0.0 << true;
    QTest::newRow("five runs") << "1:2:3:4:5" << 0.0 << false;
    QTest::newRow("too many separators") << "1:2:3:4::" << 0.0 << false;
    QTest::newRow("overflowing degrees") << QString(400, QLatin1Char('9')) << 0.0 << false;
}

void AngleTextTest::fromText()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    bool readOk = !ok;
    const double seconds = secondsFromDmsText(text, &readOk);
    QCOMPARE(readOk, ok);
    QTEST(seconds, "seconds");
}

void AngleTextTest::validate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QValidator::State>("state");
    QTest::newRow("empty") << "" << QValidator::Intermediate;
    QTest::newRow("full") << "12:30:15.5" << QValidator::Acceptable;
    QTest::newRow("negative") << "-12:30:15.5" << QValidator::Acceptable;
    QTest::newRow("plus") << "+359:59:59.999999" << QValidator::Acceptable;
    QTest::newRow("no fraction") << "12:30:15" << QValidator::Intermediate;
    QTest::newRow("minutes above 59") << "12:60:00.0" << QValidator::Intermediate;
    QTest::newRow("lone sign") << "-" << QValidator::Intermediate;
    QTest::newRow("sign not first") << "12-30" << QValidator::Invalid;
    QTest::newRow("two signs") << "+-12" << QValidator::Invalid;
    QTest::newRow("four-digit degrees") << "1234" << QValidator::Invalid;
    QTest::newRow("seven fraction digits") << "12:30:15.1234567" << QValidator::Invalid;
    QTest::newRow("three-digit seconds") << "12:30:150" << QValidator::Invalid;
    QTest::newRow("four separators") << "1:2:3:4:5" << QValidator::Invalid;
    // A bar is no sign: it used to pass and the angle then read as 0.
    QTest::newRow("bar as sign") << "|12:30:15.5" << QValidator::Invalid;
    QTest::newRow("bar in place of a minus") << "|1" << QValidator::Intermediate;
}

void AngleTextTest::validate()
{
    QFETCH(QString, text);
    AngleValidator validator;
    int position = 0;
    QTEST(validator.validate(text, position), "state");
}

void AngleTextTest::fixup_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("text");
    QTest::newRow("no digits") << "::"
                               << "0:00:00.00000";
    QTest::newRow("empty") << ""
                           << "0:00:00.00000";
    QTest::newRow("fraction") << "12:30:15.5"
                              << "12:30:15.50000";
    QTest::newRow("negative") << "-0:30"
                              << "-0:30:00.00000";
    QTest::newRow("carries to a minute") << "12:30:59.999999"
                                         << "12:31:00.00000";
    QTest::newRow("five runs") << "1:2:3:4:5"
                               << "0:00:00.00000";
}

void AngleTextTest::fixup()
{
    QFETCH(QString, input);
    AngleValidator validator;
    validator.fixup(input);
    QTEST(input, "text");
    int position = 0;
    QCOMPARE(validator.validate(input, position), QValidator::Acceptable);
}

TRELVIN_TEST_MAIN(AngleTextTest)
#include "angletext.moc"
