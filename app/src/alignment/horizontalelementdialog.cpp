#include "alignment/horizontalelementdialog.h"

#include "alignment/horizontalelementtablemodel.h"
#include "alignment/typedvalues.h"
#include "framework/dialogclose.h"
#include "framework/metertounit.h"
#include "framework/numberlocale.h"
#include "framework/radiusvalidator.h"
#include "framework/storedfield.h"
#include "ui_horizontalelementdialog.h"

#include <road/station.h>
#include <text/angletext.h>
#include <text/stationtext.h>

#include <QDoubleValidator>

#include <cmath>
#include <limits>

using Pelko::Road::HorizontalElement;

namespace {

const double notGiven = std::numeric_limits<double>::quiet_NaN();
const double straight = std::numeric_limits<double>::infinity();

QString fieldText(double meters)
{
    return QString::number(MeterToUnit::instance()->fromMeters(meters), 'f', 4);
}

// A field showing a length of the road, which it keeps to the last bit until it is typed over.
void showLength(QLineEdit* field, double meters)
{
    Zemko::Trelvin::showStored(field, meters, fieldText(meters));
}

void showAzimuth(QLineEdit* field, const Pelko::Corvex::Angle& azimuth)
{
    const double degrees = azimuth.toDegree();
    if (std::isfinite(degrees))
        Zemko::Trelvin::showStored(field, azimuth.toRadian(), Zemko::Trelvin::angleText(degrees * 3600.0));
    else
        field->clear();
}

} // namespace

HorizontalElementDialog::HorizontalElementDialog(int mode, int row,
                                                 Zemko::Trelvin::HorizontalElementTableModel* model,
                                                 QWidget* parent)
    : QDialog(parent)
    , m_mode(mode)
    , m_row(row)
    , m_model(model)
    , ui(new Ui::HorizontalElementDialog)
{
    ui->setupUi(this);
    ui->leAzimuth->setValidator(new Zemko::Trelvin::AngleValidator(this));
    ui->leAngle->setValidator(new Zemko::Trelvin::AngleValidator(this));
    ui->leStation->setValidator(new Zemko::Trelvin::StationValidator(this));
    ui->leStartR->setValidator(new Zemko::Trelvin::RadiusValidator(this));
    ui->leEndR->setValidator(new Zemko::Trelvin::RadiusValidator(this));
    auto* length = new QDoubleValidator(0.0, 1e10, 4, this);
    length->setLocale(Zemko::Trelvin::numberLocale());
    ui->leLength->setValidator(length);

    {
        const QSignalBlocker blocker(ui->cmbType);
        ui->cmbType->addItem(tr("Line"), Pelko::Road::LineElementType);
        ui->cmbType->addItem(tr("Arc"), Pelko::Road::ArcElementType);
        ui->cmbType->addItem(tr("Spiral In/Out"), Pelko::Road::SpiralElementType);
    }

    connect(ui->cmbType, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &HorizontalElementDialog::onCurrentSegmentTypeChanged);
    connect(ui->tbAzimuth, &QCheckBox::toggled, this, &HorizontalElementDialog::onToggleAzimuthMode);
    connect(ui->leStartR, &QLineEdit::textEdited, this, &HorizontalElementDialog::onRadiusEdited);
    connect(ui->leEndR, &QLineEdit::textEdited, this, &HorizontalElementDialog::onRadiusEdited);
    connect(ui->leLength, &QLineEdit::textEdited, this, &HorizontalElementDialog::onLengthEdited);
    connect(ui->leAngle, &QLineEdit::textEdited, this, &HorizontalElementDialog::onAngleEdited);
    connect(ui->button_next, &QPushButton::clicked, this, &HorizontalElementDialog::onNext);
    connect(ui->button_ok, &QPushButton::clicked, this, &HorizontalElementDialog::onAccept);
    connect(ui->chkStartPoint, &QCheckBox::toggled, ui->leStartE, &QWidget::setEnabled);
    connect(ui->chkStartPoint, &QCheckBox::toggled, ui->leStartN, &QWidget::setEnabled);

    const Pelko::Road::HorizontalElementConfiguration elements
        = model ? model->elements() : Pelko::Road::HorizontalElementConfiguration();
    if (mode == 1) {
        const HorizontalElement element = elements.at(unsigned(std::max(row, 0)));
        selectType(element.getType());
        fillFromElement(element);
        ui->button_next->hide();
    } else if (mode == 0) {
        selectType(elements.getPreferedElementType(unsigned(std::max(row, 0))));
        const HorizontalElement before = row > 0 ? elements.at(unsigned(row - 1)) : HorizontalElement();
        if (before.isValid()) {
            // Where the element before ends, exactly, should the user fix the begin there.
            showLength(ui->leStartN, before.getEndPoint().getX());
            showLength(ui->leStartE, before.getEndPoint().getY());
            showAzimuth(ui->leAzimuth, before.getEndAzimuth());
        }
        ui->chkStartPoint->setChecked(row == 0);
        ui->leAzimuth->setEnabled(row == 0);
    }
    ui->tbAzimuth->setChecked(ui->leAzimuth->isEnabled());
    ui->leStartN->setEnabled(ui->chkStartPoint->isChecked());
    ui->leStartE->setEnabled(ui->chkStartPoint->isChecked());

    // The begin station of any later element follows from the one before it.
    ui->lblStation->setVisible(row == 0);
    ui->leStation->setVisible(row == 0);
}

HorizontalElementDialog::~HorizontalElementDialog() = default;

void HorizontalElementDialog::selectType(int type)
{
    int index = ui->cmbType->findData(type);
    if (index < 0)
        index = 0;
    {
        const QSignalBlocker blocker(ui->cmbType);
        ui->cmbType->setCurrentIndex(index);
    }
    onCurrentSegmentTypeChanged(index);
}

void HorizontalElementDialog::fillFromElement(const HorizontalElement& element)
{
    // Every field keeps the element's value to the last bit until it is typed over.
    showLength(ui->leStartN, element.getBeginPoint().getX());
    showLength(ui->leStartE, element.getBeginPoint().getY());
    ui->chkStartPoint->setChecked(element.isBeginPointFixed());
    showAzimuth(ui->leAzimuth, element.getBeginAzimuth());
    ui->leAzimuth->setEnabled(element.isBeginAzimuthFixed());
    ui->tbAzimuth->setChecked(element.isBeginAzimuthFixed());
    showLength(ui->leLength, element.getLength());

    auto showRadius = [](QLineEdit* field, double radius) {
        if (std::isinf(radius) || std::fabs(radius) < 0.0001)
            Zemko::Trelvin::showStored(field, straight, QString());
        else
            showLength(field, std::fabs(radius));
    };
    const int type = element.getType();
    if (type == Pelko::Road::ArcElementType) {
        showRadius(ui->leStartR, element.getBeginRadius());
        onLengthEdited(ui->leLength->text());
    } else if (type == Pelko::Road::SpiralElementType) {
        showRadius(ui->leStartR, element.getBeginRadius());
        showRadius(ui->leEndR, element.getEndRadius());
    }
    if (type == Pelko::Road::ArcElementType || type == Pelko::Road::SpiralElementType) {
        if (element.getRurnDirection() != Pelko::Road::TurnRight)
            ui->rbLeft->setChecked(true);
        else
            ui->rbRight->setChecked(true);
    }
    if (m_model)
        Zemko::Trelvin::showStored(ui->leStation, element.getBeginStation(),
                                   m_model->displayedStation(element.getBeginStation()));
}

void HorizontalElementDialog::onClear() { }

void HorizontalElementDialog::onCurrentSegmentTypeChanged(int index)
{
    ui->chkStartPoint->setChecked(false);
    ui->leAzimuth->setEnabled(false);
    ui->tbAzimuth->setChecked(false);

    const int type = ui->cmbType->itemData(index).toInt();
    const bool arc = type == Pelko::Road::ArcElementType;
    const bool spiral = type == Pelko::Road::SpiralElementType;
    ui->lblAngle->setVisible(arc);
    ui->leAngle->setVisible(arc);
    ui->lblStartR->setVisible(arc || spiral);
    ui->leStartR->setVisible(arc || spiral);
    ui->lblEndR->setVisible(spiral);
    ui->leEndR->setVisible(spiral);
    ui->lblDirection->setVisible(arc || spiral);
    ui->rbLeft->setVisible(arc || spiral);
    ui->rbRight->setVisible(arc || spiral);
    m_arcMode = arc;
    adjustSize();
}

void HorizontalElementDialog::onToggleAzimuthMode(bool on)
{
    ui->leAzimuth->setEnabled(on);
}

double HorizontalElementDialog::number(const QString& text) const
{
    bool ok = false;
    const double value = Zemko::Trelvin::numberLocale().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

void HorizontalElementDialog::onRadiusEdited(const QString& text)
{
    bool ok = false;
    const double value = Zemko::Trelvin::numberLocale().toDouble(text.trimmed(), &ok);
    if (!ok || value == 0.0)
        return;
    if (value >= 0.0)
        ui->rbRight->setChecked(true);
    else
        ui->rbLeft->setChecked(true);
}

void HorizontalElementDialog::onLengthEdited(const QString& text)
{
    m_angleTyped = false;
    if (!m_arcMode)
        return;
    const double radius = std::fabs(number(ui->leStartR->text()));
    const double angle = radius > 0.0 ? number(text) / radius : 0.0;
    ui->leAngle->setText(Zemko::Trelvin::angleText(angle * 180.0 / M_PI * 3600.0));
}

void HorizontalElementDialog::onAngleEdited(const QString& text)
{
    m_angleTyped = true;
    if (!m_arcMode)
        return;
    const double radius = std::fabs(number(ui->leStartR->text()));
    const double angle = radiansOf(text);
    if (radius > 0.0 && std::isfinite(angle))
        ui->leLength->setText(QString::number(angle * radius, 'f', 3));
    else
        ui->leLength->setText(QStringLiteral("0.000"));
}

double HorizontalElementDialog::radiansOf(const QString& text)
{
    bool ok = false;
    const double seconds = Zemko::Trelvin::secondsFromDmsText(text, &ok);
    return ok ? seconds / 3600.0 * M_PI / 180.0 : notGiven;
}

double HorizontalElementDialog::radiusOf(const QString& text) const
{
    const double value = std::fabs(number(text));
    return value < 0.001 ? straight : MeterToUnit::instance()->toMeters(value);
}

void HorizontalElementDialog::onAccept()
{
    commit(1);
}

void HorizontalElementDialog::onNext()
{
    commit(2);
}

void HorizontalElementDialog::commit(int code)
{
    Zemko::Trelvin::commitFocusedField(this);
    Zemko::Trelvin::closeUnlessRefused(this, buildElement(), code);
}

QString HorizontalElementDialog::buildElement()
{
    using Zemko::Trelvin::storedOr;
    const MeterToUnit* unit = MeterToUnit::instance();
    const auto lengthOf
        = [&](const QLineEdit* field) { return storedOr(field, unit->toMeters(number(field->text()))); };
    const double length = lengthOf(ui->leLength);
    const Pelko::Corvex::Point point = !ui->chkStartPoint->isHidden() && ui->chkStartPoint->isChecked()
        ? Pelko::Corvex::Point(lengthOf(ui->leStartN), lengthOf(ui->leStartE))
        : Pelko::Corvex::Point::invalid();
    const Pelko::Corvex::Angle azimuth = !ui->leAzimuth->isHidden() && ui->leAzimuth->isEnabled()
        ? Pelko::Corvex::Angle::fromRadian(storedOr(ui->leAzimuth, radiansOf(ui->leAzimuth->text())))
        : Pelko::Corvex::Angle::fromRadian(notGiven);
    const double direction = ui->rbRight->isChecked() ? 1.0 : -1.0;
    const bool sideChosen = ui->rbLeft->isChecked() || ui->rbRight->isChecked();

    const int type = ui->cmbType->currentData().toInt();
    double radius = straight;
    double startRadius = straight;
    double endRadius = straight;
    double arcLength = length;
    if (type == Pelko::Road::ArcElementType) {
        if (!sideChosen)
            return tr("You should choose left or right side!");
        radius = storedOr(ui->leStartR, radiusOf(ui->leStartR->text()));
        if (std::isinf(radius))
            return tr("Radius can not be infinite!");
        if (m_angleTyped)
            arcLength = radiansOf(ui->leAngle->text()) * radius;
    } else if (type == Pelko::Road::SpiralElementType) {
        if (!sideChosen)
            return tr("You should choose left or right side!");
        startRadius = storedOr(ui->leStartR, radiusOf(ui->leStartR->text()));
        endRadius = storedOr(ui->leEndR, radiusOf(ui->leEndR->text()));
        if ((std::isinf(startRadius) && std::isinf(endRadius)) || std::fabs(startRadius - endRadius) < 0.0001)
            return tr("R1(ST) and R2(ED) can not be the same");
    }

    double station = notGiven;
    const Zemko::Trelvin::TextCell stationCell = Zemko::Trelvin::fieldCell(ui->leStation);
    if (!ui->leStation->isHidden() && stationCell.isStored()) {
        station = stationCell.number();
    } else if (!ui->leStation->isHidden()) {
        switch (Zemko::Trelvin::readStation(
            stationCell.text(),
            m_model ? m_model->stationsEquations() : Pelko::Road::StationsEquationConfiguration(), station)) {
        case Zemko::Trelvin::StationReading::NotANumber:
            return tr("Station should not be infinite!");
        case Zemko::Trelvin::StationReading::NotFound:
            return tr("Given station does not exist!");
        default:
            break;
        }
    }

    HorizontalElement element;
    if (type == Pelko::Road::ArcElementType)
        element = HorizontalElement::createArc(azimuth, arcLength, direction * radius, point, station);
    else if (type == Pelko::Road::SpiralElementType)
        element = HorizontalElement::createSpiral(azimuth, length, direction * startRadius,
                                                  direction * endRadius, point, station);
    else
        element = HorizontalElement::createLine(azimuth, length, point, station);
    // What passes the checks above may still be refused by the road library (radii 0.0005 apart).
    if (!element.isValid())
        return tr("The element can not be created with these values!");
    m_element = element;
    return QString();
}
