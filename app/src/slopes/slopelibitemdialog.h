#pragma once

#include <road/slopesectionelement.h>

#include <QDialog>
#include <QPointer>

#include <memory>

class QLineEdit;

namespace Ui {
class SlopeLibItemDialog;
}

namespace Zemko {
namespace Trelvin {
class SlopeLibItemTableModel;
}
} // namespace Zemko

// One element of a library template: a slope surface, a platform or a ditch. New (mode 0, with Next
// for the next element) or the element at a row (mode 1). Results: 0 closed, 1 OK, 2 Next.
class SlopeLibItemDialog : public QDialog
{
    Q_OBJECT

public:
    SlopeLibItemDialog(int mode, int row, Zemko::Trelvin::SlopeLibItemTableModel* model,
                       QWidget* parent = nullptr);
    ~SlopeLibItemDialog() override;

    Pelko::Road::SlopeSectionElement element() const { return m_element; }
    Ui::SlopeLibItemDialog* form() const { return ui.get(); }

public slots:
    void onAccept();
    void onNext();
    void onCurrentSectionTypeChanged(int index);
    void setHeightByCross(const QString& text);
    void setCrossByHeight(const QString& text);

private:
    void fill(const Pelko::Road::SlopeSectionElement& element);
    void finish(int result);
    // An empty text on success, else the message.
    QString build(int kind);

    std::unique_ptr<Ui::SlopeLibItemDialog> ui;
    QPointer<Zemko::Trelvin::SlopeLibItemTableModel> m_model;
    Pelko::Road::SlopeSectionElement m_element;
    int m_kind = 0;
};
