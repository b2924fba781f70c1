#pragma once

#include <road/horizontalelement.h>

#include <QDialog>

#include <memory>

namespace Ui {
class HorizontalElementDialog;
}

namespace Zemko {
namespace Trelvin {
class HorizontalElementTableModel;
}
} // namespace Zemko

// One line, arc or spiral entered by its parameters: a new element before a row (mode 0, with Next)
// or the element of a row (mode 1). The dialog closes with 1 (OK) or 2 (Next) only when the road
// library built the element; every refusal is a warning and the dialog stays open.
class HorizontalElementDialog : public QDialog
{
    Q_OBJECT

public:
    HorizontalElementDialog(int mode, int row, Zemko::Trelvin::HorizontalElementTableModel* model,
                            QWidget* parent = nullptr);
    ~HorizontalElementDialog() override;

    // The element of the last successful commit.
    Pelko::Road::HorizontalElement element() const { return m_element; }

public slots:
    void onClear();
    void onCurrentSegmentTypeChanged(int index);
    void onToggleAzimuthMode(bool on);
    void onRadiusEdited(const QString& text);
    void onLengthEdited(const QString& text);
    void onAngleEdited(const QString& text);
    void onAccept();
    void onNext();

private:
    void commit(int code);
    // The error text; empty when the element was built.
    QString buildElement();
    void selectType(int type);
    void fillFromElement(const Pelko::Road::HorizontalElement& element);
    double number(const QString& text) const;
    // Magnitude in metres; +infinity (a straight) below 0.001.
    double radiusOf(const QString& text) const;
    // Radians of D:M:S text; NaN when unreadable.
    static double radiansOf(const QString& text);

    int m_mode;
    int m_row;
    bool m_arcMode = false;
    // An arc's length follows its angle only when the angle was typed; else the length field holds it.
    bool m_angleTyped = false;
    Zemko::Trelvin::HorizontalElementTableModel* m_model;
    Pelko::Road::HorizontalElement m_element;
    std::unique_ptr<Ui::HorizontalElementDialog> ui;
};
