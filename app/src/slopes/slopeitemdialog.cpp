#include "slopes/slopeitemdialog.h"

#include "framework/dialogclose.h"
#include "framework/metertounit.h"
#include "framework/numberlocale.h"
#include "framework/storedfield.h"
#include "slopes/slopeelementfields.h"
#include "slopes/slopeitemtablemodel.h"
#include "ui_slopeitemdialog.h"

#include <QDoubleValidator>

#include <cmath>

using Pelko::Road::SlopeSectionElement;

namespace {

// Empty, or anything the validator let through that still is no number, reads as 0.
double numberOf(const QLineEdit* edit)
{
    bool ok = false;
    const double value = Zemko::Trelvin::numberLocale().toDouble(edit->text(), &ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

double metersOf(const QLineEdit* edit)
{
    return MeterToUnit::instance()->toMeters(numberOf(edit));
}

QString lengthField(double meters)
{
    return QString::number(MeterToUnit::instance()->fromMeters(meters), 'f', 4);
}

} // namespace

SlopeItemDialog::SlopeItemDialog(int mode, int row, Zemko::Trelvin::SlopeItemTableModel* model,
                                 QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::SlopeItemDialog)
    , m_model(model)
{
    ui->setupUi(this);
    auto* validator = new QDoubleValidator(this);
    validator->setLocale(Zemko::Trelvin::numberLocale());
    for (QLineEdit* edit : { ui->edtSurfaceHeight, ui->edtSurfaceRate, ui->edtPlateformWidth,
                             ui->edtPlatformCrossSlope, ui->edtPlatformHeight })
        edit->setValidator(validator);

    {
        const QSignalBlocker blocker(ui->cmbType);
        ui->cmbType->addItem(tr("Surface"), int(Pelko::Road::SlopeElementSurface));
        ui->cmbType->addItem(tr("Platform"), int(Pelko::Road::SlopeElementPlatform));
    }
    connect(ui->cmbType, SIGNAL(currentIndexChanged(int)), this, SLOT(onCurrentSectionTypeChanged(int)));
    connect(ui->okButton, SIGNAL(clicked()), this, SLOT(onAccept()));
    connect(ui->nextButton, SIGNAL(clicked()), this, SLOT(onNext()));
    connect(ui->edtPlateformWidth, SIGNAL(textEdited(QString)), this, SLOT(setCrossByHeight(QString)));
    connect(ui->edtPlatformHeight, SIGNAL(textEdited(QString)), this, SLOT(setCrossByHeight(QString)));
    connect(ui->edtPlatformCrossSlope, SIGNAL(textEdited(QString)), this, SLOT(setHeightByCross(QString)));

    int type = Pelko::Road::SlopeElementSurface;
    if (mode == 0) {
        ui->edtPlatformHeight->setText(QStringLiteral("0"));
        ui->edtPlateformWidth->setText(QStringLiteral("0"));
    } else if (m_model && row >= 0) {
        m_element = m_model->currentTemplate().getAt(static_cast<unsigned>(row));
        type = m_element.getType();
        const QString name = QString::fromStdString(m_element.getName());
        // Fields left as they were filled give back the stored values to the last bit.
        using Zemko::Trelvin::showStored;
        const auto length
            = [](QLineEdit* edit, double meters) { showStored(edit, meters, lengthField(meters)); };
        const auto number
            = [](QLineEdit* edit, double value) { showStored(edit, value, QString::number(value, 'g', 6)); };
        if (type == Pelko::Road::SlopeElementSurface) {
            ui->edtSurfaceName->setText(name);
            length(ui->edtSurfaceHeight, m_element.getHeight());
            number(ui->edtSurfaceRate, m_element.getSlope().getDenominator());
        } else if (type == Pelko::Road::SlopeElementPlatform) {
            ui->edtPlatformName->setText(name);
            length(ui->edtPlateformWidth, m_element.getWidth());
            number(ui->edtPlatformCrossSlope, m_element.getSlope().getPercentage());
            length(ui->edtPlatformHeight, m_element.getHeight());
        }
    }

    const int index = findTypeIndex(type);
    if (index >= 0)
        ui->cmbType->setCurrentIndex(index);
    onCurrentSectionTypeChanged(index);
}

SlopeItemDialog::~SlopeItemDialog() = default;

int SlopeItemDialog::findTypeIndex(int type) const
{
    return ui->cmbType->findData(type);
}

void SlopeItemDialog::onCurrentSectionTypeChanged(int index)
{
    // No item reads as a surface.
    const int type = ui->cmbType->itemData(index).toInt();
    if (type == Pelko::Road::SlopeElementSurface) {
        ui->groupSurface->show();
        ui->groupPlatform->hide();
    } else if (type == Pelko::Road::SlopeElementPlatform) {
        ui->groupPlatform->show();
        ui->groupSurface->hide();
    }
    adjustSize();
}

void SlopeItemDialog::setCrossByHeight(const QString&)
{
    const SlopeSectionElement platform = SlopeSectionElement::createPlatformByHeight(
        std::string(), metersOf(ui->edtPlateformWidth), metersOf(ui->edtPlatformHeight));
    ui->edtPlatformCrossSlope->setText(QString::number(platform.getSlope().getPercentage(), 'g', 6));
}

void SlopeItemDialog::setHeightByCross(const QString&)
{
    const SlopeSectionElement platform = SlopeSectionElement::createPlatformBySlope(
        std::string(), metersOf(ui->edtPlateformWidth), numberOf(ui->edtPlatformCrossSlope));
    ui->edtPlatformHeight->setText(
        QString::number(MeterToUnit::instance()->fromMeters(platform.getHeight()), 'g', 6));
}

QString SlopeItemDialog::check()
{
    using Zemko::Trelvin::storedOr;
    SlopeSectionElement::StoredValues values;
    QList<Zemko::Trelvin::SlopeElementField> fields;
    switch (ui->cmbType->currentData().toInt()) {
    case Pelko::Road::SlopeElementSurface:
        if (ui->edtSurfaceName->text().isEmpty())
            return tr("Surface name should not be empty!");
        values.type = Pelko::Road::SlopeElementSurface;
        values.name = ui->edtSurfaceName->text().toStdString();
        values.height = storedOr(ui->edtSurfaceHeight, metersOf(ui->edtSurfaceHeight));
        values.ratio = storedOr(ui->edtSurfaceRate, numberOf(ui->edtSurfaceRate));
        fields = Zemko::Trelvin::surfaceFields(*ui);
        break;
    case Pelko::Road::SlopeElementPlatform:
        if (ui->edtPlatformName->text().isEmpty())
            return tr("Platform name should not be empty!");
        values.type = Pelko::Road::SlopeElementPlatform;
        values.name = ui->edtPlatformName->text().toStdString();
        values.width = storedOr(ui->edtPlateformWidth, metersOf(ui->edtPlateformWidth));
        values.slope = storedOr(ui->edtPlatformCrossSlope, numberOf(ui->edtPlatformCrossSlope));
        fields = Zemko::Trelvin::platformFields(*ui);
        break;
    default:
        return QString();
    }
    // What the road file would not give back is not taken.
    const QString notKept = Zemko::Trelvin::slopeElementRefusalText(values, fields);
    if (!notKept.isEmpty())
        return notKept;
    m_element = SlopeSectionElement::fromStoredValues(values);
    return QString();
}

void SlopeItemDialog::onAccept()
{
    finish(1);
}

void SlopeItemDialog::onNext()
{
    finish(2);
}

void SlopeItemDialog::finish(int result)
{
    Zemko::Trelvin::commitFocusedField(this);
    Zemko::Trelvin::closeUnlessRefused(this, check(), result);
}
