#include "slopes/slopelibitemdialog.h"

#include "framework/dialogclose.h"
#include "framework/metertounit.h"
#include "framework/numberlocale.h"
#include "framework/storedfield.h"
#include "slopes/slopeelementfields.h"
#include "slopes/slopelibitemtablemodel.h"
#include "ui_slopelibitemdialog.h"

#include <cmath>

using Pelko::Road::SlopeSectionElement;
using Zemko::Trelvin::numberLocale;

namespace {

QString lengthText(double meters)
{
    return QString::number(MeterToUnit::instance()->fromMeters(meters), 'f', 4);
}

// A field as a number: empty reads as 0, anything else must be a finite number.
bool readNumber(const QLineEdit* edit, double& value)
{
    const QString text = edit->text().trimmed();
    if (text.isEmpty()) {
        value = 0.0;
        return true;
    }
    bool ok = false;
    value = numberLocale().toDouble(text, &ok);
    return ok && std::isfinite(value);
}

// While a field is typed a text that is no number yet counts as 0.
double typedNumber(const QLineEdit* edit)
{
    double value = 0.0;
    return readNumber(edit, value) ? value : 0.0;
}

} // namespace

SlopeLibItemDialog::SlopeLibItemDialog(int mode, int row, Zemko::Trelvin::SlopeLibItemTableModel* model,
                                       QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::SlopeLibItemDialog)
    , m_model(model)
    , m_element(Pelko::Road::SlopeElementSurface)
{
    ui->setupUi(this);
    {
        const QSignalBlocker blocker(ui->cmbType);
        ui->cmbType->addItem(tr("Surface"), int(Pelko::Road::SlopeElementSurface));
        ui->cmbType->addItem(tr("Platform"), int(Pelko::Road::SlopeElementPlatform));
        ui->cmbType->addItem(tr("Rect Ditch"), int(Pelko::Road::SlopeElementRectangularDitch));
        ui->cmbType->addItem(tr("Trapezoid Ditch"), int(Pelko::Road::SlopeElementTrapezoidDitch));
    }
    connect(ui->cmbType, SIGNAL(currentIndexChanged(int)), this, SLOT(onCurrentSectionTypeChanged(int)));
    connect(ui->okButton, SIGNAL(clicked()), this, SLOT(onAccept()));
    connect(ui->nextButton, SIGNAL(clicked()), this, SLOT(onNext()));
    // Only what the user types is coupled: filling the other field must not feed back.
    connect(ui->edtPlateformWidth, SIGNAL(textEdited(QString)), this, SLOT(setCrossByHeight(QString)));
    connect(ui->edtPlatformHeight, SIGNAL(textEdited(QString)), this, SLOT(setCrossByHeight(QString)));
    connect(ui->edtPlatformCrossSlope, SIGNAL(textEdited(QString)), this, SLOT(setHeightByCross(QString)));

    m_kind = Pelko::Road::SlopeElementSurface;
    if (mode == 0) {
        ui->edtPlatformHeight->setText(QStringLiteral("0"));
        ui->edtPlateformWidth->setText(QStringLiteral("0"));
    } else if (m_model && row >= 0) {
        const SlopeSectionElement element = m_model->cachedTemplate().getAt(static_cast<unsigned>(row));
        m_kind = element.getType();
        fill(element);
    }

    const int index = ui->cmbType->findData(m_kind);
    if (index >= 0)
        ui->cmbType->setCurrentIndex(index);
    onCurrentSectionTypeChanged(index);
    ui->nextButton->setEnabled(mode == 0);
}

SlopeLibItemDialog::~SlopeLibItemDialog() = default;

void SlopeLibItemDialog::fill(const SlopeSectionElement& element)
{
    using Zemko::Trelvin::showStored;
    const auto length = [](QLineEdit* edit, double meters) { showStored(edit, meters, lengthText(meters)); };
    const auto number
        = [](QLineEdit* edit, double value) { showStored(edit, value, QString::number(value, 'g', 6)); };
    const QString name = QString::fromStdString(element.getName());
    switch (element.getType()) {
    case Pelko::Road::SlopeElementSurface:
        ui->edtSurfaceName->setText(name);
        length(ui->edtSurfaceHeight, element.getHeight());
        number(ui->edtSurfaceRate, element.getSlope().getDenominator());
        break;
    case Pelko::Road::SlopeElementPlatform:
        ui->edtPlatformName->setText(name);
        length(ui->edtPlateformWidth, element.getWidth());
        number(ui->edtPlatformCrossSlope, element.getSlope().getPercentage());
        length(ui->edtPlatformHeight, element.getHeight());
        break;
    case Pelko::Road::SlopeElementRectangularDitch:
    case Pelko::Road::SlopeElementTrapezoidDitch: {
        const SlopeSectionElement::ElementParameters sizes = element.getParameters();
        ui->edtDitchName->setText(name);
        length(ui->edtInnerW, sizes.values[0]);
        length(ui->edtInnerH, sizes.values[1]);
        length(ui->edtOuterW, sizes.values[2]);
        length(ui->edtOuterH, sizes.values[3]);
        length(ui->edtBottomW, sizes.values[4]);
        break;
    }
    default:
        break;
    }
}

void SlopeLibItemDialog::onCurrentSectionTypeChanged(int index)
{
    if (index < 0)
        return;
    const int kind = ui->cmbType->itemData(index).toInt();
    if (kind < Pelko::Road::SlopeElementSurface || kind > Pelko::Road::SlopeElementTrapezoidDitch)
        return;
    m_kind = kind;
    const bool ditch = kind == Pelko::Road::SlopeElementRectangularDitch
        || kind == Pelko::Road::SlopeElementTrapezoidDitch;
    ui->groupSurface->setVisible(kind == Pelko::Road::SlopeElementSurface);
    ui->groupPlatform->setVisible(kind == Pelko::Road::SlopeElementPlatform);
    ui->groupDitch->setVisible(ditch);
    if (ditch) {
        const bool trapezoid = kind == Pelko::Road::SlopeElementTrapezoidDitch;
        ui->edtInnerW->setEnabled(trapezoid);
        ui->edtOuterW->setEnabled(trapezoid);
    }
    adjustSize();
}

void SlopeLibItemDialog::setCrossByHeight(const QString&)
{
    const MeterToUnit* unit = MeterToUnit::instance();
    const SlopeSectionElement platform = SlopeSectionElement::createPlatformByHeight(
        std::string(), unit->toMeters(typedNumber(ui->edtPlateformWidth)),
        unit->toMeters(typedNumber(ui->edtPlatformHeight)));
    ui->edtPlatformCrossSlope->setText(QString::number(platform.getSlope().getPercentage(), 'g', 6));
}

void SlopeLibItemDialog::setHeightByCross(const QString&)
{
    const MeterToUnit* unit = MeterToUnit::instance();
    const SlopeSectionElement platform = SlopeSectionElement::createPlatformBySlope(
        std::string(), unit->toMeters(typedNumber(ui->edtPlateformWidth)),
        typedNumber(ui->edtPlatformCrossSlope));
    ui->edtPlatformHeight->setText(QString::number(unit->fromMeters(platform.getHeight()), 'g', 6));
}

void SlopeLibItemDialog::onAccept()
{
    finish(1);
}

void SlopeLibItemDialog::onNext()
{
    finish(2);
}

void SlopeLibItemDialog::finish(int result)
{
    Zemko::Trelvin::commitFocusedField(this);
    Zemko::Trelvin::closeUnlessRefused(this, build(ui->cmbType->currentData().toInt()), result);
}

QString SlopeLibItemDialog::build(int kind)
{
    using Field = SlopeSectionElement::Field;
    const MeterToUnit* unit = MeterToUnit::instance();
    QString refused;
    // Metres from a length field; a field that holds no number refuses the element.
    // A field still showing what it was filled with gives the stored value to the last bit.
    using Zemko::Trelvin::storedOr;
    auto number = [&](const QLineEdit* edit, const QLabel* label) {
        double value = 0.0;
        if (!readNumber(edit, value) && refused.isEmpty())
            refused = tr("%1 \"%2\" is not a number!").arg(label->text(), edit->text());
        return value;
    };
    auto length = [&](const QLineEdit* edit, const QLabel* label) {
        return storedOr(edit, unit->toMeters(number(edit, label)));
    };

    SlopeSectionElement::StoredValues values;
    QList<Zemko::Trelvin::SlopeElementField> fields;
    switch (kind) {
    case Pelko::Road::SlopeElementSurface:
        if (ui->edtSurfaceName->text().isEmpty())
            return tr("Surface name should not be empty!");
        values.name = ui->edtSurfaceName->text().toStdString();
        values.height = length(ui->edtSurfaceHeight, ui->label_2);
        values.ratio = storedOr(ui->edtSurfaceRate, number(ui->edtSurfaceRate, ui->label_3));
        fields = Zemko::Trelvin::surfaceFields(*ui);
        break;
    case Pelko::Road::SlopeElementPlatform:
        if (ui->edtPlatformName->text().isEmpty())
            return tr("Platform name should not be empty!");
        values.name = ui->edtPlatformName->text().toStdString();
        values.width = length(ui->edtPlateformWidth, ui->label_5);
        values.slope = storedOr(ui->edtPlatformCrossSlope, number(ui->edtPlatformCrossSlope, ui->label_6));
        fields = Zemko::Trelvin::platformFields(*ui);
        break;
    case Pelko::Road::SlopeElementRectangularDitch:
    case Pelko::Road::SlopeElementTrapezoidDitch:
        if (ui->edtDitchName->text().isEmpty())
            return tr("Ditch name should not be empty!");
        values.name = ui->edtDitchName->text().toStdString();
        // All five are read; a rectangular ditch keeps no face widths.
        values.innerHeight = length(ui->edtInnerH, ui->label_9);
        values.innerWidth = length(ui->edtInnerW, ui->label_10);
        values.bottomWidth = length(ui->edtBottomW, ui->label_11);
        values.outerWidth = length(ui->edtOuterW, ui->label_12);
        values.outerHeight = length(ui->edtOuterH, ui->label_13);
        fields = { { Field::Name, ui->label_14, ui->edtDitchName },
                   { Field::InnerHeight, ui->label_9, ui->edtInnerH },
                   { Field::InnerWidth, ui->label_10, ui->edtInnerW },
                   { Field::BottomWidth, ui->label_11, ui->edtBottomW },
                   { Field::OuterWidth, ui->label_12, ui->edtOuterW },
                   { Field::OuterHeight, ui->label_13, ui->edtOuterH } };
        break;
    default:
        return QString();
    }
    if (!refused.isEmpty())
        return refused;
    values.type = static_cast<Pelko::Road::SlopeSectionElementType>(kind);
    // What the road file would not give back is not taken.
    const QString notKept = Zemko::Trelvin::slopeElementRefusalText(values, fields);
    if (!notKept.isEmpty())
        return notKept;
    m_element = SlopeSectionElement::fromStoredValues(values);
    return QString();
}
