#pragma once

#include <road/slopesectionsegment.h>

#include <QDialog>

#include <memory>

namespace Ui {
class SlopeUseLibDialog;
}

namespace Zemko {
namespace Trelvin {
class SlopeUseLibTableModel;
}
} // namespace Zemko

// One slope segment of one side: a name, a station range and a library template at each end. New
// (mode 0) or the segment at a row (mode 1).
class SlopeUseLibDialog : public QDialog
{
    Q_OBJECT

public:
    SlopeUseLibDialog(int mode, int row, Zemko::Trelvin::SlopeUseLibTableModel* model,
                      QWidget* parent = nullptr);
    ~SlopeUseLibDialog() override;

    // The segment of the last successful check.
    Pelko::Road::SlopeSectionSegment segment() const { return m_segment; }
    Ui::SlopeUseLibDialog* form() const { return ui.get(); }
    // Builds the segment; the message is empty on success.
    QString check();

    // The message of a code of the segment factory; empty for success only.
    static QString segmentErrorText(int code);

public slots:
    void onAccept();
    void onCancel();

private:
    void init(int mode, int row);
    void fillTemplateCombos(int row);
    void finish(int code);
    QString missingTemplate(const QString& name, bool start) const;

    std::unique_ptr<Ui::SlopeUseLibDialog> ui;
    Zemko::Trelvin::SlopeUseLibTableModel* m_model;
    Pelko::Road::SlopeSectionSegment m_segment;
};
