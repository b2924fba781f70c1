#pragma once

#include <road/crosssectionelement.h>

#include <QDialog>

#include <memory>

class QLineEdit;

namespace Ui {
class CrossSectionDialog;
}

// One element of a standard-section side: name, width, cross slope in percent and the step in height
// against the previous element.
class CrossSectionDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CrossSectionDialog(QWidget* parent = nullptr);
    ~CrossSectionDialog() override;

    QString name() const;
    // Metres; an empty field is 0.
    double width() const;
    // Percent, as typed.
    double slope() const;
    // Metres.
    double heightDiff() const;
    Pelko::Road::CrossSectionElement element() const;

    // Selects the name, adding it to the list when it is none of the presets.
    void setName(const QString& text);
    void setWidth(const QString& text);
    void setSlope(const QString& text);
    void setHeightDiff(const QString& text);
    // A stored value (metres, percent, metres) and its text: the value stays to the last bit while the
    // field shows that text.
    void setWidth(double meters, const QString& shown);
    void setSlope(double percent, const QString& shown);
    void setHeightDiff(double meters, const QString& shown);
    void setHeightDiffEnabled(bool enabled);

public slots:
    // Accepts only numbers in every field and a width that is not negative; otherwise says which
    // field is wrong and stays open.
    void onOk();

private:
    void refuse(QLineEdit* field, const QString& text);

    std::unique_ptr<Ui::CrossSectionDialog> ui;
};
