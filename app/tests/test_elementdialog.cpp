#include "alignment/horizontalelementdialog.h"
#include "alignment/horizontalelementtablemodel.h"
#include "document/trelvin.h"
#include "support/scriptedprompter.h"
#include "test_horizontalroads.h"
#include "test_horizontaltables.h"

#include <road/station.h>
#include <text/stationtext.h>

#include <qttestmain.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>

using HorizontalTables::child;
using Zemko::Trelvin::HorizontalElementTableModel;
using Zemko::Trelvin::Trelvin;

namespace {

QLineEdit* field(QWidget& dialog, const char* name)
{
    return child<QLineEdit>(dialog, name);
}

void chooseType(HorizontalElementDialog& dialog, int type)
{
    auto* combo = child<QComboBox>(dialog, "cmbType");
    combo->setCurrentIndex(combo->findData(type));
}

// As the user types: the field changes and announces the edit.
void typeInto(QLineEdit* edit, const QString& text)
{
    edit->setText(text);
    emit edit->textEdited(text);
}

} // namespace

class TestElementDialog : public QObject
{
    Q_OBJECT

private:
    HorizontalRoads::Folder roads;

private slots:
    void initTestCase()
    {
        // The line, left arc, line chain; a short equation leaves stations 150..160 out.
        QVERIFY(!roads.openElements(HorizontalRoads::lineArcLine()).isEmpty());
        Pelko::Road::StationsEquationConfiguration equations;
        QVERIFY(bool(equations.appendEquation(Pelko::Road::StationsEquation(150, 160))));
        Trelvin::instance()->road()->setStationsEquations(equations);
    }

    void layoutsFollowTheType()
    {
        HorizontalElementTableModel model;
        HorizontalElementDialog dialog(0, 0, &model);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Horizontal Element"));
        QCOMPARE(child<QComboBox>(dialog, "cmbType")->currentData().toInt(),
                 int(Pelko::Road::LineElementType));
        QVERIFY(field(dialog, "leAngle")->isHidden() && field(dialog, "leStartR")->isHidden());
        QVERIFY(!field(dialog, "leStation")->isHidden());
        QVERIFY(child<QCheckBox>(dialog, "chkStartPoint")->isChecked());
        QVERIFY(field(dialog, "leAzimuth")->isEnabled());

        chooseType(dialog, Pelko::Road::ArcElementType);
        QVERIFY(!field(dialog, "leAngle")->isHidden() && field(dialog, "leEndR")->isHidden());
        QVERIFY(!child<QRadioButton>(dialog, "rbLeft")->isHidden());
        QVERIFY(!child<QCheckBox>(dialog, "chkStartPoint")->isChecked());
        QVERIFY(!field(dialog, "leStartN")->isEnabled());
        chooseType(dialog, Pelko::Road::SpiralElementType);
        QVERIFY(field(dialog, "leAngle")->isHidden() && !field(dialog, "leEndR")->isHidden());

        // A later row follows the element before it: no station, its end as the start.
        HorizontalElementDialog next(0, 2, &model);
        QVERIFY(field(next, "leStation")->isHidden());
        QVERIFY(!field(next, "leAzimuth")->isEnabled());
        const Pelko::Road::HorizontalElement arc = model.elements().at(1);
        QCOMPARE(field(next, "leStartN")->text(), QString::number(arc.getEndPoint().getX(), 'f', 4));
        QVERIFY(!child<QPushButton>(next, "button_next")->isHidden());
    }

    void arcsFromRadiusAndAngle()
    {
        HorizontalElementTableModel model;
        HorizontalElementDialog dialog(0, 1, &model);
        chooseType(dialog, Pelko::Road::ArcElementType);
        ScriptedPrompter prompter;

        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
        dialog.onAccept();
        QCOMPARE(prompter.calls.last().text, QStringLiteral("You should choose left or right side!"));
        QCOMPARE(prompter.calls.last().title, QStringLiteral("Trelvin"));

        typeInto(field(dialog, "leStartR"), "-0.0009");
        QVERIFY(child<QRadioButton>(dialog, "rbLeft")->isChecked());
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
        dialog.onAccept();
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Radius can not be infinite!"));

        typeInto(field(dialog, "leStartR"), "100");
        QVERIFY(child<QRadioButton>(dialog, "rbRight")->isChecked());
        typeInto(field(dialog, "leLength"), "50");
        QCOMPARE(field(dialog, "leAngle")->text(), QStringLiteral("28:38:52.40312"));
        typeInto(field(dialog, "leAngle"), "90:00:00.0");
        QCOMPARE(field(dialog, "leLength")->text(), QStringLiteral("157.080"));
        field(dialog, "leLength")->setText("3");
        typeInto(field(dialog, "leStartR"), "-100");
        dialog.onNext();
        QCOMPARE(dialog.result(), 2);
        QCOMPARE(dialog.element().getType(), Pelko::Road::ArcElementType);
        QCOMPARE(dialog.element().getRurnDirection(), Pelko::Road::TurnLeft);
        QCOMPARE(dialog.element().getBeginRadius(), 100.0);
        QVERIFY(std::fabs(dialog.element().getLength() - 50.0 * M_PI) < 1e-9);
        QVERIFY(!dialog.element().isBeginPointFixed() && !dialog.element().isBeginAzimuthFixed());
        QCOMPARE(prompter.calls.size(), 2);
    }

    void spiralsNeedTwoRadii()
    {
        HorizontalElementTableModel model;
        HorizontalElementDialog dialog(0, 1, &model);
        chooseType(dialog, Pelko::Road::SpiralElementType);
        child<QRadioButton>(dialog, "rbRight")->setChecked(true);
        field(dialog, "leLength")->setText("40");
        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
        dialog.onAccept();
        QCOMPARE(prompter.calls.last().text, QStringLiteral("R1(ST) and R2(ED) can not be the same"));

        // Apart enough for the dialog, not for the road library: refused, the dialog stays open.
        field(dialog, "leStartR")->setText("300");
        field(dialog, "leEndR")->setText("300.0005");
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
        dialog.onAccept();
        QCOMPARE(prompter.calls.size(), 2);
        QCOMPARE(prompter.calls.last().text,
                 QStringLiteral("The element can not be created with these values!"));
        QCOMPARE(dialog.result(), 0);
        QVERIFY(!dialog.element().isValid());

        field(dialog, "leStartR")->setText("");
        dialog.onAccept();
        QCOMPARE(dialog.result(), 1);
        QVERIFY(std::isinf(dialog.element().getBeginRadius()));
        QCOMPARE(dialog.element().getEndRadius(), 300.0005);
    }

    void theFirstElementTakesAStation()
    {
        HorizontalElementTableModel model;
        HorizontalElementDialog dialog(0, 0, &model);
        field(dialog, "leAzimuth")->setText("45:00:00.0");
        field(dialog, "leStartN")->setText("10");
        field(dialog, "leStartE")->setText("20");
        field(dialog, "leLength")->setText("30");
        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
        dialog.onAccept();
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Station should not be infinite!"));
        field(dialog, "leStation")->setText("K0+155");
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
        dialog.onAccept();
        QCOMPARE(prompter.calls.last().text, QStringLiteral("Given station does not exist!"));
        field(dialog, "leStation")->setText("K0+170");
        dialog.onAccept();
        QCOMPARE(dialog.result(), 1);
        QCOMPARE(dialog.element().getBeginStation(), 160.0);
        QCOMPARE(dialog.element().getBeginPoint().getY(), 20.0);
        QVERIFY(std::fabs(dialog.element().getBeginAzimuth().toDegree() - 45.0) < 1e-9);
    }

    void editModeShowsTheElement()
    {
        HorizontalElementTableModel model;
        HorizontalElementDialog dialog(1, 1, &model);
        QVERIFY(child<QPushButton>(dialog, "button_next")->isHidden());
        QCOMPARE(child<QComboBox>(dialog, "cmbType")->currentData().toInt(),
                 int(Pelko::Road::ArcElementType));
        QCOMPARE(field(dialog, "leStartR")->text(), QStringLiteral("300.0000"));
        QCOMPARE(field(dialog, "leLength")->text(), QStringLiteral("100.0000"));
        QVERIFY(child<QRadioButton>(dialog, "rbLeft")->isChecked());
        QCOMPARE(field(dialog, "leAngle")->text(),
                 Zemko::Trelvin::angleText(100.0 / 300.0 * 180.0 / M_PI * 3600.0));
        QVERIFY(!child<QCheckBox>(dialog, "chkStartPoint")->isChecked());
        QVERIFY(field(dialog, "leStation")->isHidden());

        HorizontalElementDialog first(1, 0, &model);
        QVERIFY(child<QCheckBox>(first, "chkStartPoint")->isChecked());
        QCOMPARE(field(first, "leStartN")->text(), QStringLiteral("1000.0000"));
        QCOMPARE(field(first, "leStation")->text(), QStringLiteral("K0+000.000"));
        QVERIFY(field(first, "leAzimuth")->isEnabled());
        first.onAccept();
        QCOMPARE(first.result(), 1);
        model.setElement(0, first.element());
        QCOMPARE(model.elements().at(0).getLength(), 100.0);
    }
};

TRELVIN_TEST_MAIN(TestElementDialog)
#include "test_elementdialog.moc"
