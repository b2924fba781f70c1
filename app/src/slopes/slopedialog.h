#pragma once

#include <road/slopesectionsegment.h>

#include <QDialog>

#include <memory>

namespace Ui {
class SlopeDialog;
}

namespace Zemko {
namespace Trelvin {
class SlopeTableModel;
}
} // namespace Zemko

// Name, fill or cut and station range of one slope segment on the segment slope page. The page offers
// no template, so the segment handed back stays without one and the table refuses it.
class SlopeDialog : public QDialog
{
    Q_OBJECT

public:
    // Mode 0 new, 1 edit of the segment at row.
    SlopeDialog(int mode, int row, Zemko::Trelvin::SlopeTableModel* model, QWidget* parent = nullptr);
    ~SlopeDialog() override;

    Pelko::Road::SlopeSectionSegment segment() const { return m_segment; }
    // The message of the first failed check; empty when the stations read.
    QString check() const;

public slots:
    void onAccept();
    void onCancel();

private:
    void finish(int code);

    std::unique_ptr<Ui::SlopeDialog> ui;
    Zemko::Trelvin::SlopeTableModel* m_model;
    Pelko::Road::SlopeSectionSegment m_segment;
};
