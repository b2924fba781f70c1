#include <text/stationtext.h>

#include <qttestmain.h>

#include <QLineEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>

using namespace Zemko::Trelvin;

Q_DECLARE_METATYPE(QValidator::State)

class StationTextTest : public QObject
{
    Q_OBJECT

private slots:
    void toText_data();
    void toText();
    void toTextOfValuesWithoutStation();
    void normalize_data();
    void normalize();
    void normalizeMatchesPatternReading();
    void toTextMatchesPatternReading();
    void fromText_data();
    void fromText();
    void fromTextRefusesNonFinite();
    void roundTrip();
    void cLocaleWhateverTheUsersLocale();
    void validate_data();
    void validate();
    void fixup_data();
    void fixup();
    void lineEditCommit();
};

void StationTextTest::toText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("after");
    QTest::addColumn<QString>("text");
    QTest::newRow("km") << 12345.678 << false << "K12+345.678";
    QTest::newRow("whole") << 12345.0 << false << "K12+345.000";
    QTest::newRow("after") << 12345.0 << true << "K12+345.000A";
    QTest::newRow("short") << 5.5 << false << "K0+005.500";
    QTest::newRow("negative") << -1500.25 << false << "-K1+500.250";
    QTest::newRow("negative below a metre") << -0.5 << false << "-K0+000.500";
    QTest::newRow("rounds") << 999.9996 << false << "K1+000.000";
    // Whole metres beyond a 32-bit int used to show as K0+000.
    QTest::newRow("beyond 32 bits") << 3000000000.5 << false << "K3000000+000.500";
    QTest::newRow("beyond 64 bits") << 1e20 << false << "K100000000000000000+000.000";
}

void StationTextTest::toText()
{
    QFETCH(double, value);
    QFETCH(bool, after);
    QTEST(stationToText(value, after), "text");
}

void StationTextTest::toTextOfValuesWithoutStation()
{
    QVERIFY(stationToText(NAN, false).isEmpty());
    QVERIFY(stationToText(INFINITY, true).isEmpty());
    QVERIFY(stationToText(-INFINITY, false).isEmpty());
}

void StationTextTest::normalize_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("text");
    QTest::newRow("km") << "12345.678"
                        << "K12+345.678";
    QTest::newRow("whole") << "12345"
                           << "K12+345";
    QTest::newRow("fraction as typed") << "5.5"
                                       << "K0+005.5";
    QTest::newRow("negative") << "-1500.25"
                              << "-K1+500.25";
    QTest::newRow("negative zero") << "-0.500"
                                   << "-K0+000.500";
    QTest::newRow("after, spaces") << " 12345.6a "
                                   << "K12+345.6A";
    QTest::newRow("trailing point") << "12345."
                                    << "K12+345";
    QTest::newRow("leading zeros") << "0007"
                                   << "K0+007";
    QTest::newRow("empty") << ""
                           << "K0+000";
    QTest::newRow("only a point") << "."
                                  << "K0+000";
    QTest::newRow("two points") << "1.2.3"
                                << "K0+000";
    QTest::newRow("not a number") << "abc"
                                  << "K0+000";
    QTest::newRow("lone minus") << "-"
                                << "-K0+000";
    QTest::newRow("k notation") << "K12+3"
                                << "K0+000";
    QTest::newRow("beyond 32 bits") << "2147483648"
                                    << "K2147483+648";
    QTest::newRow("beyond 64 bits") << "123456789012345678901"
                                    << "K123456789012345678+901";
}

void StationTextTest::normalize()
{
    QFETCH(QString, input);
    QTEST(normalizeStationText(input), "text");
}

// Station text as read with regular expressions, the first way this library did it: the faster scan
// must give the same bytes for every input.
QString patternNormalized(const QString& text)
{
    QString body = text.trimmed();
    const bool after = body.endsWith(QLatin1Char('A'), Qt::CaseInsensitive);
    if (after)
        body.chop(1);
    const QStringList parts = body.split(QLatin1Char('.'), Qt::KeepEmptyParts);
    QString whole = QStringLiteral("0");
    QString fraction;
    if (parts.size() <= 2) {
        static const QRegularExpression integer(
            QRegularExpression::anchoredPattern(QStringLiteral("\\s*[+-]?([0-9]+)\\s*")));
        const QRegularExpressionMatch match = integer.match(parts.first());
        if (match.hasMatch()) {
            whole = match.captured(1);
            int zeros = 0;
            while (zeros < whole.size() - 1 && whole.at(zeros) == QLatin1Char('0'))
                ++zeros;
            whole = whole.mid(zeros);
        }
        if (parts.size() == 2 && !parts.at(1).isEmpty())
            fraction = QLatin1Char('.') + parts.at(1);
    }
    const bool negative = parts.first().startsWith(QLatin1Char('-'));
    const int split = qMax(0, whole.size() - 3);
    const QString kilometres = split > 0 ? whole.left(split) : QStringLiteral("0");
    const QString metres = whole.mid(split).rightJustified(3, QLatin1Char('0'));
    QString result = QStringLiteral("%1%2+%3").arg(negative ? QStringLiteral("-K") : QStringLiteral("K"),
                                                   kilometres, metres);
    result += fraction;
    if (after)
        result += QLatin1Char('A');
    return result;
}

void StationTextTest::normalizeMatchesPatternReading()
{
    QStringList inputs = { QString(),
                           QStringLiteral(" "),
                           QStringLiteral("+"),
                           QStringLiteral("-"),
                           QStringLiteral("+-1"),
                           QStringLiteral("--1"),
                           QStringLiteral("+12"),
                           QStringLiteral("- 12"),
                           QStringLiteral("12 .5"),
                           QStringLiteral("1 2"),
                           QStringLiteral("\t12\v.5"),
                           QStringLiteral("12\r\n"),
                           QStringLiteral("12\f.5a"),
                           QStringLiteral("A"),
                           QStringLiteral("a"),
                           QStringLiteral("AA"),
                           QStringLiteral("12AA"),
                           QStringLiteral(".5"),
                           QStringLiteral("-.5"),
                           QStringLiteral("12.5.6"),
                           QStringLiteral("..."),
                           QStringLiteral("12..5"),
                           QStringLiteral("000"),
                           QStringLiteral("-000.000"),
                           QStringLiteral("0001000"),
                           QStringLiteral("1e5"),
                           QStringLiteral("K12+345"),
                           QStringLiteral("-K1+5.5A"),
                           QStringLiteral("12.5 6"),
                           QStringLiteral("12.abc"),
                           QStringLiteral("99999999999999999999999"),
                           QString::fromUtf8("12\u00a0.5"),
                           QString::fromUtf8("\u00a012.5"),
                           QString::fromUtf8("12\u2003"),
                           QString::fromUtf8("\u0661\u0662"),
                           QString::fromUtf8("12\u0085.5"),
                           QString::fromUtf8("\uff11\uff12") };
    const QString alphabet = QStringLiteral("0123456789.-+ Aa\tKx");
    QRandomGenerator random(17);
    for (int i = 0; i < 20000; ++i) {
        QString text;
        const int length = int(random.bounded(9));
        for (int c = 0; c < length; ++c)
            text += alphabet.at(int(random.bounded(alphabet.size())));
        inputs << text;
    }
    for (const QString& input : qAsConst(inputs))
        QCOMPARE(normalizeStationText(input), patternNormalized(input));
}

void StationTextTest::toTextMatchesPatternReading()
{
    QVector<double> values = { 0.0,
                               -0.0,
                               0.0004,
                               -0.0004,
                               0.0005,
                               -0.0005,
                               999.9995,
                               999.9994999,
                               999.9996,
                               -999.9995,
                               9999.9995,
                               1000.0,
                               999.0,
                               1e-300,
                               -1e-300,
                               5e-324,
                               0.1,
                               0.7,
                               1.0005,
                               2.0005,
                               12345.6785,
                               123456789.0625,
                               2147483647.9996,
                               4294967296.0,
                               9007199254740993.0,
                               1e15,
                               1e20,
                               1e22,
                               1e60,
                               1e100,
                               1e300,
                               -1e300,
                               1.7976931348623157e308,
                               -1.7976931348623157e308 };
    QRandomGenerator random(29);
    for (int i = 0; i < 20000; ++i) {
        // Magnitudes from thousandths to far beyond any road, and half-thousandth rounding edges.
        const double magnitude = std::pow(10.0, random.bounded(29.0) - 4.0);
        const double sign = random.bounded(2) ? 1.0 : -1.0;
        values << sign * magnitude << sign * (std::floor(magnitude * 1000.0) + 0.5) / 1000.0;
    }
    for (double value : qAsConst(values)) {
        const QString number = QString::number(value, 'f', 3);
        QCOMPARE(stationToText(value, false), patternNormalized(number));
        QCOMPARE(stationToText(value, true), patternNormalized(number) + QLatin1Char('A'));
    }
    for (double value : { double(NAN), double(INFINITY), double(-INFINITY) })
        QVERIFY(stationToText(value, true).isEmpty());
}

void StationTextTest::fromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("before");
    QTest::addColumn<bool>("ok");
    QTest::newRow("km") << "K12+345.678" << 12345.678 << true << true;
    QTest::newRow("negative") << "-K1+500" << -1500.0 << true << true;
    QTest::newRow("after") << "K12+345A" << 12345.0 << false << true;
    QTest::newRow("after lower case") << "K12+345a" << 12345.0 << false << true;
    QTest::newRow("plain") << "12345.6" << 12345.6 << true << true;
    QTest::newRow("plain after") << "12345.6A" << 12345.6 << false << true;
    QTest::newRow("plain negative") << "-12345.6" << -12345.6 << true << true;
    QTest::newRow("short metres") << "K12+5" << 12005.0 << true << true;
    QTest::newRow("fractional km") << "K1.5+200" << 1700.0 << true << true;
    QTest::newRow("spaces around a number") << " 12.5 " << 12.5 << true << true;
    QTest::newRow("beyond 32 bits") << "K3000000+000.5" << 3000000000.5 << true << true;
    QTest::newRow("lower-case k") << "k12+345" << qQNaN() << true << false;
    QTest::newRow("empty km") << "+345" << qQNaN() << true << false;
    QTest::newRow("empty") << "" << qQNaN() << true << false;
    QTest::newRow("only K") << "K" << qQNaN() << true << false;
    QTest::newRow("only A") << "A" << qQNaN() << false << false;
    QTest::newRow("two A") << "K1+000AA" << qQNaN() << false << false;
    QTest::newRow("two fractions") << "K1+000.5.6" << qQNaN() << true << false;
    QTest::newRow("three parts") << "K1+2+3" << qQNaN() << true << false;
    QTest::newRow("words") << "station" << qQNaN() << true << false;
}

void StationTextTest::fromText()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(bool, before);
    QFETCH(bool, ok);
    bool readBefore = !before;
    bool readOk = !ok;
    const double result = stationFromText(text, &readBefore, &readOk);
    QCOMPARE(readBefore, before);
    QCOMPARE(readOk, ok);
    if (std::isnan(value))
        QVERIFY(std::isnan(result));
    else
        QCOMPARE(result, value);
}

void StationTextTest::fromTextRefusesNonFinite()
{
    for (const char* text :
         { "inf", "nan", "-inf", "Kinf", "K1+nan", "1e400", "K1e308+1e308", "-K1e306+0" }) {
        bool ok = true;
        const double value = stationFromText(QString::fromLatin1(text), nullptr, &ok);
        QVERIFY2(!ok, text);
        QVERIFY2(std::isnan(value), text);
    }
}

void StationTextTest::roundTrip()
{
    for (double value : { 0.0, 0.001, 999.999, 1000.0, 12345.678, -1500.25, 2147483647.125, 4e12 + 0.25 }) {
        for (bool after : { false, true }) {
            bool before = after;
            bool ok = false;
            const QString text = stationToText(value, after);
            QCOMPARE(stationFromText(text, &before, &ok), value);
            QVERIFY(ok);
            QCOMPARE(before, !after);
        }
    }
}

void StationTextTest::cLocaleWhateverTheUsersLocale()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(stationToText(1234.5, false), QStringLiteral("K1+234.500"));
    QCOMPARE(stationFromText(QStringLiteral("K1+234.5")), 1234.5);
    bool ok = true;
    QVERIFY(std::isnan(stationFromText(QStringLiteral("1,5"), nullptr, &ok)));
    QVERIFY(!ok);
    StationValidator validator;
    QString comma = QStringLiteral("1,5");
    int position = 0;
    QCOMPARE(validator.validate(comma, position), QValidator::Invalid);
    QLocale::setDefault(saved);
}

void StationTextTest::validate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QValidator::State>("state");
    QTest::newRow("empty") << "" << QValidator::Intermediate;
    QTest::newRow("station") << "K1+000" << QValidator::Acceptable;
    QTest::newRow("negative after") << "-K1+000.25A" << QValidator::Acceptable;
    QTest::newRow("two A") << "K1+000AA" << QValidator::Acceptable;
    QTest::newRow("two fractions") << "K1+000.5.6" << QValidator::Acceptable;
    QTest::newRow("short metres") << "K1+00" << QValidator::Intermediate;
    QTest::newRow("lower-case k") << "k1+000" << QValidator::Intermediate;
    QTest::newRow("plain") << "12345.6" << QValidator::Intermediate;
    QTest::newRow("plain with spaces") << " 12345.6 " << QValidator::Intermediate;
    QTest::newRow("half typed") << "-K5" << QValidator::Intermediate;
    QTest::newRow("two points") << "1.2.3" << QValidator::Invalid;
    QTest::newRow("minus between") << "K1-5" << QValidator::Invalid;
    QTest::newRow("letters") << "abc" << QValidator::Invalid;
    QTest::newRow("trailing newline") << "K1+000\n" << QValidator::Invalid;
    QTest::newRow("arabic-indic digits")
        << QString::fromUtf8("K\u0661+\u0660\u0660\u0660") << QValidator::Invalid;
}

void StationTextTest::validate()
{
    QFETCH(QString, text);
    StationValidator validator;
    int position = text.size();
    QTEST(validator.validate(text, position), "state");
}

void StationTextTest::fixup_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "12345.6"
                           << "K12+345.6";
    QTest::newRow("plain after") << "12345.6a"
                                 << "K12+345.6A";
    QTest::newRow("plain with spaces") << " 12345 "
                                       << "K12+345";
    QTest::newRow("empty") << ""
                           << "K0+000";
    QTest::newRow("plain negative") << "-5"
                                    << "-K0+005";
    QTest::newRow("short metres") << "K12+3"
                                  << "K12+003.000";
    QTest::newRow("lower-case k") << "k12+345"
                                  << "K12+345.000";
    QTest::newRow("km only, negative") << "-K5"
                                       << "-K0+005.000";
    QTest::newRow("negative lower-case k") << "-k1+5"
                                           << "-K1+005.000";
    QTest::newRow("half typed after") << "K12+3A"
                                      << "K12+003.000A";
    QTest::newRow("unreadable") << "K1-5"
                                << "K0+000";
    QTest::newRow("infinite") << "Kinf"
                              << "K0+000";
}

void StationTextTest::fixup()
{
    QFETCH(QString, input);
    StationValidator validator;
    validator.fixup(input);
    QTEST(input, "text");
    int position = 0;
    QCOMPARE(validator.validate(input, position), QValidator::Acceptable);
}

void StationTextTest::lineEditCommit()
{
    QLineEdit edit;
    edit.setValidator(new StationValidator(&edit));
    edit.setText(QStringLiteral("12345.6"));
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(edit.text(), QStringLiteral("K12+345.6"));

    edit.setText(QStringLiteral("k2+5"));
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(edit.text(), QStringLiteral("K2+005.000"));

    // A refused keystroke leaves the text as it was.
    edit.setText(QStringLiteral("K1+000"));
    edit.end(false);
    QTest::keyClick(&edit, Qt::Key_X);
    QCOMPARE(edit.text(), QStringLiteral("K1+000"));
}

TRELVIN_TEST_MAIN(StationTextTest)
#include "stationtext.moc"
