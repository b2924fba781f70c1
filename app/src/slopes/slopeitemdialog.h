#pragma once

#include <road/slopesectionelement.h>

#include <QDialog>

#include <memory>

namespace Ui {
class SlopeItemDialog;
}

namespace Zemko {
namespace Trelvin {
class SlopeItemTableModel;
}
} // namespace Zemko

// One slope surface or platform of the shown template: new (mode 0, with Next for the next element)
// or the element at a row (mode 1). Results: 0 closed, 1 OK, 2 Next.
class SlopeItemDialog : public QDialog
{
    Q_OBJECT

public:
    SlopeItemDialog(int mode, int row, Zemko::Trelvin::SlopeItemTableModel* model, QWidget* parent = nullptr);
    ~SlopeItemDialog() override;

    Pelko::Road::SlopeSectionElement element() const { return m_element; }
    Ui::SlopeItemDialog* form() const { return ui.get(); }
    // The first combo item holding the type; -1 when none does.
    int findTypeIndex(int type) const;
    // Builds the element of the chosen type; the message is empty on success.
    QString check();

public slots:
    void onAccept();
    void onNext();
    void onCurrentSectionTypeChanged(int index);
    void setHeightByCross(const QString& text);
    void setCrossByHeight(const QString& text);

private:
    void finish(int result);

    std::unique_ptr<Ui::SlopeItemDialog> ui;
    Zemko::Trelvin::SlopeItemTableModel* m_model;
    Pelko::Road::SlopeSectionElement m_element;
};
