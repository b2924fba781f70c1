#pragma once

#include <road/slopesectiontemplate.h>

#include <QDialog>
#include <QPointer>

#include <memory>

namespace Ui {
class SlopeLibDialog;
}

namespace Zemko {
namespace Trelvin {
class SlopeLibTableModel;
}
} // namespace Zemko

// The name of a library template, new (mode 0) or of the template at a row (mode 1). The library
// decides whether the name is taken.
class SlopeLibDialog : public QDialog
{
    Q_OBJECT

public:
    SlopeLibDialog(int mode, int row, Zemko::Trelvin::SlopeLibTableModel* model, QWidget* parent = nullptr);
    ~SlopeLibDialog() override;

    // Built when the dialog closes: the new template, or a copy of the edited one with its elements.
    Pelko::Road::SlopeSectionTemplateEditable slopeTemplate() const { return m_template; }

public slots:
    void onAccept();
    void onCancel();

private:
    void buildTemplate();

    std::unique_ptr<Ui::SlopeLibDialog> ui;
    int m_mode;
    int m_row;
    QPointer<Zemko::Trelvin::SlopeLibTableModel> m_model;
    Pelko::Road::SlopeSectionTemplateEditable m_template;
};
