#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TinDialog;
}

namespace Zemko::Trelvin {
class TinGenerator;
}

// Picks a CASS point file or a DXF drawing and the TIN database to write, and follows the generation.
class TinDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TinDialog(QWidget* parent = nullptr);
    ~TinDialog() override;

    // The running generation; null when idle.
    Zemko::Trelvin::TinGenerator* generator() const;

public slots:
    // Cancels a running generation, which leaves the target as it was.
    void reject() override;

private slots:
    void on_selectData_clicked();
    void on_selectQVR_clicked();
    void on_dataFileEdit_textChanged(const QString& txt);
    void on_qvrFileEdit_textChanged(const QString& txt);
    void on_generateButton_clicked();
    void onFinished();

private:
    void updateGenerateButton();
    void setInputsEnabled(bool enabled);
    // Stores the folder of a chosen file for the next file dialog.
    static void rememberFolder(const QString& path);
    void abandonGenerator();

    std::unique_ptr<Ui::TinDialog> ui;
    Zemko::Trelvin::TinGenerator* m_generator = nullptr;
};
