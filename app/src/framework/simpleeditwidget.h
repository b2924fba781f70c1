#pragma once

#include <plugin/datatype.h>

#include <QWidget>

// Base of every edit page: follows the document's road open and close and hears of changed data.
class SimpleEditWidget : public QWidget
{
    Q_OBJECT

public:
    SimpleEditWidget(const QString& title, QWidget* parent);

public slots:
    virtual void updateData(DataType::Categories categories) = 0;
    virtual void onRoadOpen() = 0;
    virtual void onRoadAboutToClose() = 0;
};
