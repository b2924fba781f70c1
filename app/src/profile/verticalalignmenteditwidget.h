#pragma once

#include <QWidget>

class VerticalAlignmentTableWidget;

// The vertical alignment page's editor: the PI table, passing on its change.
class VerticalAlignmentEditWidget : public QWidget
{
    Q_OBJECT

public:
    explicit VerticalAlignmentEditWidget(QWidget* parent = nullptr);

    VerticalAlignmentTableWidget* tableWidget() const { return m_table; }

signals:
    void currentChanged();

public slots:
    void onCurrentChanged();

private:
    VerticalAlignmentTableWidget* m_table;
};
