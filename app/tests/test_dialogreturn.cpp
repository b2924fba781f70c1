// Return typed in a field of a dialog presses the button that takes what was typed (OK, Calculate), or
// none; never one that goes elsewhere (Next, a step along the road).
#include "alignment/horizontalelementdialog.h"
#include "alignment/horizontalelementtablemodel.h"
#include "alignment/pointofintersectiontablemodel.h"
#include "alignment/pointsofintersectiondialog.h"
#include "check/roadcheckdialog.h"
#include "check/stationcheckdialog.h"
#include "document/trelvin.h"
#include "profile/spiralcalculatordialog.h"
#include "profile/stationsequationdialog.h"
#include "profile/verticalalignmentdialog.h"
#include "profile/verticalalignmenttablemodel.h"
#include "section/crosssectiondialog.h"
#include "section/superelevationpointdialog.h"
#include "section/wideningpointdialog.h"
#include "slopes/slopedialog.h"
#include "slopes/slopeitemdialog.h"
#include "slopes/slopeitemtablemodel.h"
#include "slopes/slopelibdialog.h"
#include "slopes/slopelibitemdialog.h"
#include "slopes/slopelibitemtablemodel.h"
#include "slopes/slopelibtablemodel.h"
#include "slopes/slopetablemodel.h"
#include "slopes/slopeuselibdialog.h"
#include "slopes/slopeuselibtablemodel.h"
#include "support/scriptedprompter.h"
#include "test_checkroads.h"
#include <qttestmain.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

using Zemko::Trelvin::Trelvin;

namespace {

// A button's text without its shortcut mark, in capitals ("Ok" and "OK" alike).
QString plain(const QString& text)
{
    QString shown = text;
    return shown.remove(QLatin1Char('&')).toUpper();
}

// Presses Return in every field the dialog shows and lists, per field, the texts of the buttons that
// were clicked ("-" for none), each different list once.
QStringList pressedByReturn(QDialog& dialog)
{
    QStringList pressed;
    for (QLineEdit* field : dialog.findChildren<QLineEdit*>()) {
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog) || !field->isVisible() || !field->isEnabled())
            continue;
        QList<std::pair<QString, std::shared_ptr<QSignalSpy>>> spies;
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            spies.append(
                { plain(button->text()), std::make_shared<QSignalSpy>(button, &QPushButton::clicked) });
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        QStringList clicked;
        for (const auto& [text, spy] : spies)
            if (!spy->isEmpty())
                clicked << text;
        const QString entry = clicked.isEmpty() ? QStringLiteral("-") : clicked.join(QLatin1Char('+'));
        if (!pressed.contains(entry))
            pressed << entry;
    }
    dialog.close();
    return pressed;
}

} // namespace

class TestDialogReturn : public QObject
{
    Q_OBJECT

private:
    CheckRoads::Folder folder;

private slots:
    void init() { QVERIFY(folder.renew()); }

    void cleanup() { Trelvin::instance()->closeRoad(); }

    void returnPressesTheButtonThatTakesTheFields()
    {
        QVERIFY(folder.open(CheckRoads::writeExample));
        // The boxes of refused input are answered with their default button.
        ScriptedPrompter prompter(false);
        const QStringList ok { "OK" };

        Zemko::Trelvin::HorizontalElementTableModel elements;
        HorizontalElementDialog element(0, elements.rowCount(), &elements);
        QCOMPARE(pressedByReturn(element), ok);
        Zemko::Trelvin::PointOfIntersectionTableModel points;
        PointsOfIntersectionDialog point(0, points.rowCount(), &points);
        QCOMPARE(pressedByReturn(point), ok);
        Zemko::Trelvin::VerticalAlignmentTableModel profile;
        VerticalAlignmentDialog vertical(0, profile.rowCount(), &profile);
        QCOMPARE(pressedByReturn(vertical), ok);

        StationsEquationDialog equation;
        QCOMPARE(pressedByReturn(equation), ok);
        SpiralCalculatorDialog spiral;
        QCOMPARE(pressedByReturn(spiral),
                 QStringList { plain(spiral.findChild<QPushButton*>("btnCalc")->text()) });
        CrossSectionDialog section;
        QCOMPARE(pressedByReturn(section), ok);
        SuperelevationPointDialog superelevation;
        QCOMPARE(pressedByReturn(superelevation), ok);
        WideningPointDialog widening;
        QCOMPARE(pressedByReturn(widening), ok);

        Zemko::Trelvin::SlopeTableModel segments(Pelko::Road::SlopeSideLeft);
        SlopeDialog segment(0, 0, &segments);
        QCOMPARE(pressedByReturn(segment), ok);
        Zemko::Trelvin::SlopeItemTableModel items(&segments, 0);
        SlopeItemDialog item(0, 0, &items);
        QCOMPARE(pressedByReturn(item), ok);
        Zemko::Trelvin::SlopeLibTableModel templates(Pelko::Road::SlopeSectionFill);
        SlopeLibDialog slopeTemplate(0, templates.rowCount(), &templates);
        QCOMPARE(pressedByReturn(slopeTemplate), ok);
        Zemko::Trelvin::SlopeLibItemTableModel templateElements(&templates, 0);
        for (int kind = 0; kind < 4; ++kind) {
            SlopeLibItemDialog templateElement(0, 0, &templateElements);
            templateElement.findChild<QComboBox*>("cmbType")->setCurrentIndex(kind);
            QCOMPARE(pressedByReturn(templateElement), ok);
        }
        Zemko::Trelvin::SlopeUseLibTableModel uses(Pelko::Road::SlopeSideRight);
        SlopeUseLibDialog use(0, uses.rowCount(), &uses);
        QCOMPARE(pressedByReturn(use), ok);

        // The check tools compute as the fields are typed; a point is computed by Calculate.
        RoadCheckDialog byCoordinate(0, Trelvin::instance()->road());
        QCOMPARE(pressedByReturn(byCoordinate), QStringList { "CALCULATE" });
        RoadCheckDialog byStation(1, Trelvin::instance()->road());
        QCOMPARE(pressedByReturn(byStation), QStringList { "-" });
        StationCheckDialog sections(Trelvin::instance()->road());
        QCOMPARE(pressedByReturn(sections), QStringList { "-" });
    }
};

TRELVIN_TEST_MAIN(TestDialogReturn)
#include "test_dialogreturn.moc"
