#pragma once

#include "framework/textcell.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// Base of the superelevation and widening point dialogs: a station typed as chainage text, turned
// into a continuous station through the road's stations equations, one value and a vary type. "OK"
// accepts (result 1); "Next" closes with result 2, which asks for another point after this one. Both
// refuse a station the road does not have and stay open.
class DialogWithStation : public QDialog
{
    Q_OBJECT

public:
    ~DialogWithStation() override;

    // Continuous station in metres of the last accepted station text; 0 before.
    double station() const { return m_station; }
    // The chosen vary type; 0 when none is chosen.
    int method() const;
    // The given stored method while the user keeps the entry that setMethodText chose (several stored
    // codes show as one entry); the chosen one otherwise.
    int methodOr(int stored) const;

    // Selects the entry of exactly this text; none when there is no such entry.
    void setMethodText(const QString& text);
    void setStationText(const QString& text);
    void setValueText(const QString& text);
    // A stored point's continuous station and value with their texts: each stays to the last bit
    // while its field shows that text.
    void setStation(double station, const QString& shown);
    void setValue(double value, const QString& shown);
    void setNextEnabled(bool enabled);

public slots:
    void onOk();
    void onNext();

protected:
    struct Fields
    {
        QLineEdit* station;
        QLineEdit* value;
        QComboBox* method;
        QPushButton* next;
        QPushButton* ok;
    };

    explicit DialogWithStation(QWidget* parent);
    // Once, after the form is built: validators and the two buttons.
    void setFields(const Fields& fields);

    // The value field as a number (the stored value while the field shows it); 0 when empty or
    // unreadable.
    double valueNumber() const;
    bool validateStation(const Zemko::Trelvin::TextCell& station);
    // Warns and answers false for a value the point cannot take.
    virtual bool validateValue() = 0;
    // Warns about a refused value and puts the cursor into the field.
    void refuseValue(const QString& text);

private:
    bool acceptable();

    double m_station = 0.0;
    Fields m_fields {};
    int m_presetMethodIndex = -2;
};
