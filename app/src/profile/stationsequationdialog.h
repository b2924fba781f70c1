#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class StationsEquationDialog;
}

// The before and after stations of one stations equation.
class StationsEquationDialog : public QDialog
{
    Q_OBJECT

public:
    explicit StationsEquationDialog(QWidget* parent = nullptr);
    ~StationsEquationDialog() override;

    void setBefore(const QString& text);
    void setAfter(const QString& text);
    // Metres; an empty or unreadable field is station 0.
    double before() const;
    double after() const;

private:
    std::unique_ptr<Ui::StationsEquationDialog> ui;
};
