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
    // A stored station (metres) and its text: it stays to the last bit while the field shows that text.
    void setBefore(double meters, const QString& shown);
    void setAfter(double meters, const QString& shown);
    // Metres; an empty or unreadable field is station 0.
    double before() const;
    double after() const;

private:
    std::unique_ptr<Ui::StationsEquationDialog> ui;
};
