#include "tindialog.h"

#include "tingenerator.h"
#include "tingeneratorprivate.h"
#include "tinprompter.h"
#include "ui_tindialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <utility>

using Zemko::Trelvin::TinGenerator;
using Zemko::Trelvin::TinGeneratorPrivate;
using Zemko::Trelvin::TinPrompter;

namespace {

const char recentPathKey[] = "RecentPath";

QSettings settings()
{
    return QSettings(QStringLiteral("Zemko"), QStringLiteral("Tolvin"));
}

// The first entry of a filter list, so that the file dialog finds it among its filters.
QString firstFilter(const QString& filters)
{
    return filters.section(QStringLiteral(";;"), 0, 0);
}

} // namespace

TinDialog::TinDialog(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::TinDialog>())
{
    ui->setupUi(this);
    ui->progressBar->setRange(0, 100);
    ui->progressBar->setValue(0);
    ui->progressBar->hide();
    // Paths come only from the file dialogs.
    ui->dataFileEdit->setReadOnly(true);
    ui->qvrFileEdit->setReadOnly(true);
    ui->generateButton->setEnabled(false);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

TinDialog::~TinDialog()
{
    abandonGenerator();
}

TinGenerator* TinDialog::generator() const
{
    return m_generator;
}

void TinDialog::reject()
{
    abandonGenerator();
    QDialog::reject();
}

void TinDialog::on_selectData_clicked()
{
    const QString start = settings().value(QLatin1String(recentPathKey), QDir::homePath()).toString();
    const QString filters = tr("CASS Point Data (*.dat);;DXF Triangles (*.dxf)");
    QString selected = firstFilter(filters);
    const QString path
        = TinPrompter::instance()->getOpenFileName(this, tr("Convert File"), start, filters, &selected);
    if (path.isEmpty())
        return;
    rememberFolder(path);
    ui->dataFileEdit->setText(path);
}

void TinDialog::on_selectQVR_clicked()
{
    const QString filter = tr("QVR File (*.qvr)");
    QString selected = filter;
    const QString path
        = TinPrompter::instance()->getSaveFileName(this, tr("Convert File"), QString(), filter, &selected);
    if (path.isEmpty())
        return;
    rememberFolder(path);
    ui->qvrFileEdit->setText(path);
}

void TinDialog::on_dataFileEdit_textChanged(const QString&)
{
    updateGenerateButton();
}

void TinDialog::on_qvrFileEdit_textChanged(const QString&)
{
    updateGenerateButton();
}

void TinDialog::on_generateButton_clicked()
{
    TinPrompter* prompter = TinPrompter::instance();
    const QString dataPath = ui->dataFileEdit->text();
    const QString targetPath = ui->qvrFileEdit->text();
    const QFileInfo data(dataPath);
    if (!data.isFile()) {
        prompter->critical(this, tr("Generating Error"), tr("Data file does not exist!"));
        return;
    }
    const QFileInfo target(targetPath);
    if (target.exists()) {
        if (target.canonicalFilePath() == data.canonicalFilePath()) {
            prompter->critical(this, tr("Generating Error"), tr("Target file must differ from data file"));
            return;
        }
        // The old TIN is replaced only once the new one is complete; until then it stays as it is.
        if (!target.isFile() || !target.isWritable()) {
            prompter->critical(this, tr("Access denied"), tr("Unable to overwrite given file"));
            return;
        }
        // Not even after a yes: the open road file, or any other, would be lost, and so would the new TIN
        // where SQLite would play an old write into it.
        bool notATin = false;
        const QString refusal = TinGeneratorPrivate::refusalAt(targetPath, &notATin);
        if (!refusal.isEmpty()) {
            prompter->critical(this, tr("Generating Error"),
                               notATin ? tr("Target file is not a TIN database and is not overwritten")
                                       : refusal);
            return;
        }
        if (prompter->question(this, tr("Overwrite?"), tr("Target file already exists, overwrite"),
                               QMessageBox::No | QMessageBox::Yes)
            != QMessageBox::Yes)
            return;
    }

    m_generator = new TinGenerator(dataPath, targetPath);
    connect(m_generator, &TinGenerator::progress, ui->progressBar, &QProgressBar::setValue);
    connect(m_generator, &QThread::finished, this, &TinDialog::onFinished);
    m_generator->start();

    ui->progressBar->show();
    ui->progressBar->reset();
    setInputsEnabled(false);
}

void TinDialog::onFinished()
{
    // A generation abandoned by reject() may still have its finish queued.
    TinGenerator* generator = m_generator;
    if (!generator || (sender() && sender() != generator))
        return;
    m_generator = nullptr;
    const bool succeeded = generator->isSucceeded();
    const QString details = generator->message();
    // The thread has ended; deleting the generator lets its job remove a failed output.
    generator->deleteLater();

    TinPrompter* prompter = TinPrompter::instance();
    auto text = [&details](const QString& outcome) {
        return details.isEmpty() ? outcome : outcome + QLatin1String("\n\n") + details;
    };
    if (succeeded)
        prompter->information(this, tr("Generator"), text(tr("Generating TIN succeeded")));
    else
        prompter->critical(this, tr("Generator"), text(tr("Generating TIN failed")));

    ui->progressBar->hide();
    ui->progressBar->reset();
    setInputsEnabled(true);
}

void TinDialog::updateGenerateButton()
{
    ui->generateButton->setEnabled(!ui->dataFileEdit->text().isEmpty() && !ui->qvrFileEdit->text().isEmpty());
}

void TinDialog::setInputsEnabled(bool enabled)
{
    ui->selectData->setEnabled(enabled);
    ui->selectQVR->setEnabled(enabled);
    ui->generateButton->setEnabled(enabled);
}

void TinDialog::rememberFolder(const QString& path)
{
    settings().setValue(QLatin1String(recentPathKey), QFileInfo(path).absolutePath());
}

void TinDialog::abandonGenerator()
{
    TinGenerator* generator = std::exchange(m_generator, nullptr);
    if (!generator)
        return;
    generator->cancel();
    disconnect(generator, nullptr, this, nullptr);
    disconnect(generator, nullptr, ui->progressBar, nullptr);
    generator->disposeWhenFinished();
}
