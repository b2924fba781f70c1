#include "document/reminder.h"
#include "framework/metertounit.h"
#include "framework/valueformater.h"

#include <qttestmain.h>

#include <QTranslator>

#include <limits>

using Zemko::Trelvin::ValueFormater;

namespace {

// Answers every text of one context with a marked copy, to see which context a text is asked in.
class ContextTranslator : public QTranslator
{
public:
    explicit ContextTranslator(const char* context)
        : context(context)
    {
    }
    bool isEmpty() const override { return false; }
    QString translate(const char* asked, const char* sourceText, const char*, int) const override
    {
        return qstrcmp(asked, context) == 0 ? QStringLiteral("<%1>").arg(QString::fromUtf8(sourceText))
                                            : QString();
    }

private:
    const char* context;
};

} // namespace

class ValueTextTest : public QObject
{
    Q_OBJECT

private slots:
    void lengthsPassThroughMetres()
    {
        const MeterToUnit* units = MeterToUnit::instance();
        QCOMPARE(units, MeterToUnit::instance());
        for (double value : { 0.0, -12.5, 1234567.891, 1e-9 }) {
            QCOMPARE(units->fromMeters(value), value);
            QCOMPARE(units->toMeters(value), value);
            QCOMPARE(units->toMeters(units->fromMeters(value)), value);
        }
        QCOMPARE(units->unitName(), QStringLiteral("Meters(m)"));
        QCOMPARE(units->unitAbbreviation(), QStringLiteral("m"));
    }

    void enumerationTexts()
    {
        QCOMPARE(ValueFormater::sideText(0), QStringLiteral("Right"));
        QCOMPARE(ValueFormater::sideText(1), QStringLiteral("Left"));
        QCOMPARE(ValueFormater::sideText(2), QString());
        QCOMPARE(ValueFormater::elementTypeText(-1), QStringLiteral("None"));
        QCOMPARE(ValueFormater::elementTypeText(3), QStringLiteral("Arc"));
        QCOMPARE(ValueFormater::elementTypeText(4), QString());
        QCOMPARE(ValueFormater::curveTypeText(2), QStringLiteral("Trans|Arc|Trans"));
        QCOMPARE(ValueFormater::curveTypeText(3), QStringLiteral("Trans|Trans"));
        QCOMPARE(ValueFormater::curveTypeText(-1), QString());
        QCOMPARE(ValueFormater::structureTypeText(1), QStringLiteral("Circular Culvert"));
        QCOMPARE(ValueFormater::structureTypeText(4), QString());
        QCOMPARE(ValueFormater::buildTypeText(0), QStringLiteral("SkewAskewBuild"));
        QCOMPARE(ValueFormater::buildTypeText(1), QStringLiteral("SkewOrthotropicBuild"));
        QCOMPARE(ValueFormater::buildTypeText(-1), QString());
    }

    void radiiAndRatios()
    {
        const QString infinity(QChar(0x221E));
        QCOMPARE(ValueFormater::radiusText(-1e-6), infinity);
        QCOMPARE(ValueFormater::radiusText(0.0), infinity);
        QCOMPARE(ValueFormater::radiusText(std::numeric_limits<double>::infinity()), infinity);
        QCOMPARE(ValueFormater::radiusText(-std::numeric_limits<double>::infinity()), infinity);
        QCOMPARE(ValueFormater::radiusText(-300.0), QStringLiteral("-300.000"));
        QCOMPARE(ValueFormater::radiusText(1e-5), QStringLiteral("0.000"));
        QCOMPARE(ValueFormater::percentText(0.02), QStringLiteral("2.00%"));
        QCOMPARE(ValueFormater::percentText(-0.015), QStringLiteral("-1.50%"));
        QCOMPARE(ValueFormater::percentText(0.0), QStringLiteral("0.00%"));
    }

    void textsAreTranslatedInTheirContexts()
    {
        ContextTranslator formater("Zemko::Trelvin::ValueFormater");
        ContextTranslator reminder("Reminder");
        QCoreApplication::installTranslator(&formater);
        QCoreApplication::installTranslator(&reminder);
        QCOMPARE(ValueFormater::sideText(1), QStringLiteral("<Left>"));
        QCOMPARE(ValueFormater::structureTypeText(3), QStringLiteral("<Overpass>"));
        QCOMPARE(Zemko::Trelvin::Reminder::tr("Trelvin"), QStringLiteral("<Trelvin>"));
        // The ratio's percent sign is not a translated text.
        QCOMPARE(ValueFormater::percentText(0.5), QStringLiteral("50.00%"));
        QCoreApplication::removeTranslator(&reminder);
        QCoreApplication::removeTranslator(&formater);
    }
};

TRELVIN_TEST_MAIN(ValueTextTest)
#include "test_valuetext.moc"
