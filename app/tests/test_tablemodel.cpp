#include "document/trelvin.h"
#include "framework/itemdelegates.h"
#include "framework/tablemodel.h"
#include "support/equationmodel.h"
#include "support/roadfiles.h"

#include <qttestmain.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>

#include <limits>

using Zemko::Trelvin::TableModel;
using Zemko::Trelvin::Trelvin;

class TableModelTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    Trelvin* document = nullptr;

private slots:
    void initTestCase()
    {
        document = Trelvin::instance();
        const QString path = dir.filePath(QStringLiteral("a.rod"));
        QVERIFY(RoadFiles::write(path, RoadFiles::road(RoadFiles::equations(160, 150))));
        QVERIFY(document->openRoad(path));
    }

    void cellsRolesAndHeaders()
    {
        EquationModel model;
        model.reload();
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.columnCount(), 2);
        const QModelIndex cell = model.index(0, 1);
        QCOMPARE(model.rowCount(cell), 0);
        QCOMPARE(model.columnCount(cell), 0);

        QCOMPARE(model.data(cell), QVariant(QStringLiteral("150.000")));
        QCOMPARE(model.data(cell, Qt::EditRole), QVariant(150.0));
        QCOMPARE(model.data(cell, Qt::SizeHintRole), QVariant(QSize(64, 32)));
        QVERIFY(!model.data(cell, Qt::FontRole).isValid());
        QVERIFY(!model.data(cell, Qt::ToolTipRole).isValid());
        QVERIFY(!model.data(cell, Qt::BackgroundRole).isValid());
        QVERIFY(!model.data(cell, Qt::CheckStateRole).isValid());
        QVERIFY(!model.data(QModelIndex()).isValid());
        QVERIFY(!model.data(QModelIndex(), Qt::SizeHintRole).isValid());

        QCOMPARE(model.headerData(0, Qt::Vertical), QVariant(1));
        QCOMPARE(model.headerData(1, Qt::Horizontal), QVariant(QStringLiteral("After")));
        QCOMPARE(model.flags(QModelIndex()), Qt::NoItemFlags);
        QVERIFY(model.TableModel::flags(cell) == (Qt::ItemIsSelectable | Qt::ItemIsEnabled));
    }

    void numberTexts()
    {
        EquationModel model;
        const QString infinity(QChar(0x221E));
        QCOMPARE(model.radiusText(0.0), infinity);
        QCOMPARE(model.radiusText(0.000009), infinity);
        QCOMPARE(model.radiusText(-0.000009), infinity);
        QCOMPARE(model.radiusText(std::numeric_limits<double>::infinity()), infinity);
        QCOMPARE(model.radiusText(-std::numeric_limits<double>::infinity()), infinity);
        QCOMPARE(model.radiusText(-250.0), QStringLiteral("250.000"));
        QCOMPARE(model.radiusText(0.00002), QStringLiteral("0.000"));
        QCOMPARE(model.lengthText(12.34567), QStringLiteral("12.346"));
        QCOMPARE(model.coordinateText(-3.0), QStringLiteral("-3.000"));
        QCOMPARE(TableModel::percentText(2.0), QStringLiteral("2.00%"));
        QCOMPARE(TableModel::percentText(-1.5), QStringLiteral("-1.50%"));
    }

    void rowNotificationsMarkTheCategory()
    {
        EquationModel model;
        model.reload();
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy flags(document, &Trelvin::editFlagsChanged);

        model.equations.prepend({ 10, 5 });
        model.notifyRowInserted(0);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(0, 0));
        QCOMPARE(changed.at(0).at(1).toModelIndex(), model.index(0, 1));
        QVERIFY(model.hasUnwrittenEdits());
        QCOMPARE(document->editFlags(), DataType::Categories(DataType::StationsEquation));
        QCOMPARE(flags.count(), 2);

        model.reload();
        QVERIFY(!model.hasUnwrittenEdits());
        QCOMPARE(document->editFlags(), DataType::Categories());

        model.notifyRowsChanged(0, 1);
        QVERIFY(model.hasUnwrittenEdits());
        model.reload();
        model.remove(0);
        QCOMPARE(removed.count(), 1);
        QVERIFY(model.hasUnwrittenEdits());

        // Nothing to refresh, nothing marked.
        model.reload();
        model.notifyRowsChanged(0, 0);
        QVERIFY(!model.hasUnwrittenEdits());

        model.setUnwrittenEdits(true);
        QCOMPARE(document->editFlags(), DataType::Categories(DataType::StationsEquation));
        model.setUnwrittenEdits(false);
        QCOMPARE(document->editFlags(), DataType::Categories());
    }

    void escapeInACellEditorKeepsPendingEdits()
    {
        EquationModel model;
        model.reload();
        model.append(300, 290);
        QVERIFY(model.setData(model.index(0, 0), 170.0, Qt::EditRole));

        QTableView view;
        Zemko::Trelvin::LineEditDelegate delegate;
        view.setItemDelegate(&delegate);
        view.setModel(&model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QModelIndex cell = model.index(1, 1);
        view.setCurrentIndex(cell);
        view.edit(cell);
        auto* editor = qobject_cast<QLineEdit*>(view.indexWidget(cell));
        QVERIFY(editor);
        editor->setText(QStringLiteral("999"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_VERIFY(!view.indexWidget(cell));

        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(0, 0), Qt::EditRole), QVariant(170.0));
        QCOMPARE(model.data(cell, Qt::EditRole), QVariant(290.0));
        QVERIFY(model.hasUnwrittenEdits());

        // Qt's own revert, as a view calls it, keeps the rows too.
        const int loads = model.loads;
        model.revert();
        QCOMPARE(model.loads, loads);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(document->editFlags(), DataType::Categories(DataType::StationsEquation));

        model.reload();
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0, 0), Qt::EditRole), QVariant(160.0));
    }

    void theDocumentsSignalsDriveEveryLiveModel()
    {
        EquationModel first;
        EquationModel second(DataType::VerticalAlignment);
        QCOMPARE(first.rowCount(), 0);

        const QString path = document->path();
        document->closeRoad();
        QVERIFY(document->openRoad(path));
        QCOMPARE(first.rowCount(), 1);
        QCOMPARE(second.rowCount(), 1);
        QCOMPARE(first.loads, 2);

        first.append(400, 390);
        second.append(500, 490);
        QVERIFY(document->save());
        QCOMPARE(first.writes, 1);
        QCOMPARE(second.writes, 1);
        QCOMPARE(document->editFlags(), DataType::Categories());
    }
};

TRELVIN_TEST_MAIN(TableModelTest)
#include "test_tablemodel.moc"
