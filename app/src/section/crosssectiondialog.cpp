#include "section/crosssectiondialog.h"

#include "document/prompter.h"
#include "framework/metertounit.h"
#include "framework/numberlocale.h"
#include "framework/storedfield.h"
#include "section/sectionnumbers.h"
#include "ui_crosssectiondialog.h"

#include <QDoubleValidator>

using Zemko::Trelvin::numberFromField;
using Zemko::Trelvin::showStored;
using Zemko::Trelvin::storedOr;

namespace {

QDoubleValidator* numberValidator(QObject* parent)
{
    auto* validator = new QDoubleValidator(parent);
    validator->setLocale(Zemko::Trelvin::numberLocale());
    return validator;
}

} // namespace

CrossSectionDialog::CrossSectionDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::CrossSectionDialog)
{
    ui->setupUi(this);
    ui->comboBox->addItems({ tr("Motorway"), tr("Bicycle Lane"), tr("Sidewalk"), tr("Hardened Verge"),
                             tr("Earth Shoulder"), tr("Medial Strip"), tr(" Lateral Zonation") });
    ui->leWidth->setValidator(numberValidator(this));
    ui->leSlope->setValidator(numberValidator(this));
    ui->leHeightDiff->setValidator(numberValidator(this));
    connect(ui->okButton, &QPushButton::clicked, this, &CrossSectionDialog::onOk);
    connect(ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

CrossSectionDialog::~CrossSectionDialog() = default;

QString CrossSectionDialog::name() const
{
    return ui->comboBox->currentText();
}

double CrossSectionDialog::width() const
{
    return storedOr(ui->leWidth, MeterToUnit::instance()->toMeters(numberFromField(ui->leWidth->text())));
}

double CrossSectionDialog::slope() const
{
    return storedOr(ui->leSlope, numberFromField(ui->leSlope->text()));
}

double CrossSectionDialog::heightDiff() const
{
    return storedOr(ui->leHeightDiff,
                    MeterToUnit::instance()->toMeters(numberFromField(ui->leHeightDiff->text())));
}

Pelko::Road::CrossSectionElement CrossSectionDialog::element() const
{
    return Pelko::Road::CrossSectionElement(name().toStdString(), width(), slope(), heightDiff());
}

void CrossSectionDialog::setName(const QString& text)
{
    int index = ui->comboBox->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        ui->comboBox->addItem(text);
        index = ui->comboBox->count() - 1;
    }
    ui->comboBox->setCurrentIndex(index);
}

void CrossSectionDialog::setWidth(const QString& text)
{
    ui->leWidth->setText(text);
}

void CrossSectionDialog::setSlope(const QString& text)
{
    ui->leSlope->setText(text);
}

void CrossSectionDialog::setHeightDiff(const QString& text)
{
    ui->leHeightDiff->setText(text);
}

void CrossSectionDialog::setWidth(double meters, const QString& shown)
{
    showStored(ui->leWidth, meters, shown);
}

void CrossSectionDialog::setSlope(double percent, const QString& shown)
{
    showStored(ui->leSlope, percent, shown);
}

void CrossSectionDialog::setHeightDiff(double meters, const QString& shown)
{
    showStored(ui->leHeightDiff, meters, shown);
}

void CrossSectionDialog::setHeightDiffEnabled(bool enabled)
{
    ui->leHeightDiff->setEnabled(enabled);
}

void CrossSectionDialog::refuse(QLineEdit* field, const QString& text)
{
    Zemko::Trelvin::Prompter::instance()->warning(this, QString(), text, QMessageBox::Ok);
    field->setFocus();
    field->selectAll();
}

void CrossSectionDialog::onOk()
{
    // A half-typed number ("-", "1e") would otherwise pass as 0.
    bool ok = false;
    const double typedWidth = numberFromField(ui->leWidth->text(), &ok);
    if (!ok) {
        refuse(ui->leWidth, tr("Width is not a number!"));
        return;
    }
    if (typedWidth < 0.0) {
        refuse(ui->leWidth, tr("Width cannot be negative!"));
        return;
    }
    numberFromField(ui->leSlope->text(), &ok);
    if (!ok) {
        refuse(ui->leSlope, tr("Slope is not a number!"));
        return;
    }
    numberFromField(ui->leHeightDiff->text(), &ok);
    if (!ok) {
        refuse(ui->leHeightDiff, tr("Height difference is not a number!"));
        return;
    }
    accept();
}
