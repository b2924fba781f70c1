#pragma once

#include "support/scriptedprompter.h"

#include <QAbstractItemView>
#include <QAction>
#include <QItemSelectionModel>
#include <QList>
#include <QMenu>
#include <QSignalSpy>
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

// Apply on an emptied table asks first: No keeps the road's rows (kept, as roadRows counts them), Yes
// writes the empty list and announces it (applied counts the widget's currentChange up to then).
template<typename Widget, typename RoadRows>
void applyEmptied(Widget& widget, ScriptedPrompter& prompter, const QString& question, RoadRows roadRows,
                  unsigned kept, const QSignalSpy& applied, int announced)
{
    widget.model()->removeElements(0, widget.model()->rowCount());
    prompter.answer(ScriptedPrompter::Question, QMessageBox::No);
    widget.on_applyButton_clicked();
    QCOMPARE(prompter.calls.last().title, QStringLiteral("No data"));
    QCOMPARE(prompter.calls.last().text, question);
    QCOMPARE(roadRows(), kept);
    prompter.answer(ScriptedPrompter::Question, QMessageBox::Yes);
    widget.on_applyButton_clicked();
    QCOMPARE(roadRows(), 0u);
    QCOMPARE(applied.count(), announced);
}

} // namespace HorizontalTables
