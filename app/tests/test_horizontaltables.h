#pragma once

#include <QAbstractItemView>
#include <QAction>
#include <QItemSelectionModel>
#include <QList>
#include <QMenu>
#include <QWidget>

// Driving the editor tables and dialogs in tests.
namespace HorizontalTables {

inline void selectBlock(QAbstractItemView* view, int top, int left, int bottom, int right)
{
    const QAbstractItemModel* model = view->model();
    view->selectionModel()->select(QItemSelection(model->index(top, left), model->index(bottom, right)),
                                   QItemSelectionModel::ClearAndSelect);
}

inline QList<bool> enabledActions(const QMenu* menu)
{
    QList<bool> enabled;
    for (const QAction* action : menu->actions())
        enabled.append(action->isEnabled());
    return enabled;
}

// A named child of a dialog; aborts the test program when there is none.
template<typename T> T* child(QWidget& parent, const char* name)
{
    T* widget = parent.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

} // namespace HorizontalTables
