#include "framework/itemdelegates.h"
#include "framework/radiusvalidator.h"

#include <text/stationtext.h>

#include <qttestmain.h>

#include <QComboBox>
#include <QDoubleValidator>
#include <QLineEdit>
#include <QStandardItemModel>

#include <limits>
#include <memory>

using namespace Zemko::Trelvin;

namespace {

QValidator::State validate(const QValidator& validator, QString text)
{
    int position = 0;
    return validator.validate(text, position);
}

} // namespace

class DelegatesTest : public QObject
{
    Q_OBJECT

private:
    QStandardItemModel model { 1, 1 };
    QWidget host;
    QModelIndex cell() const { return model.index(0, 0); }
    void setCell(const QVariant& value) { model.setData(cell(), value, Qt::EditRole); }

    template<typename Editor> std::unique_ptr<Editor> editorOf(const QStyledItemDelegate& delegate)
    {
        QWidget* editor = delegate.createEditor(&host, QStyleOptionViewItem(), cell());
        auto* typed = qobject_cast<Editor*>(editor);
        if (!typed)
            delete editor;
        return std::unique_ptr<Editor>(typed);
    }

private slots:
    void comboChoosesByTextOrValueAndNeverGuesses()
    {
        const ComboBoxDelegate delegate(nullptr,
                                        { { QStringLiteral("Line"), 1 },
                                          { QStringLiteral("Arc"), 3 },
                                          { QStringLiteral("Spiral In/Out"), 2 } });
        auto combo = editorOf<QComboBox>(delegate);
        QVERIFY(combo);
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemData(2), QVariant(2));

        setCell(QStringLiteral("Arc"));
        delegate.setEditorData(combo.get(), cell());
        QCOMPARE(combo->currentIndex(), 1);
        delegate.setModelData(combo.get(), &model, cell());
        QCOMPARE(model.data(cell(), Qt::EditRole), QVariant(3));

        setCell(2);
        delegate.setEditorData(combo.get(), cell());
        QCOMPARE(combo->currentIndex(), 2);

        // A value no item carries leaves nothing chosen, and committing keeps the cell as it was.
        for (const QVariant& unknown : { QVariant(QStringLiteral("Clothoid")), QVariant(7), QVariant() }) {
            setCell(unknown);
            combo->setCurrentIndex(0);
            delegate.setEditorData(combo.get(), cell());
            QCOMPARE(combo->currentIndex(), -1);
            delegate.setModelData(combo.get(), &model, cell());
            QCOMPARE(model.data(cell(), Qt::EditRole), unknown);
        }
    }

    void numberFieldReadsTheCLocaleWhateverTheUsersLocale()
    {
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const FloatNumEditDelegate delegate;
        auto edit = editorOf<QLineEdit>(delegate);
        QLocale::setDefault(previous);
        QVERIFY(edit);
        const auto* validator = qobject_cast<const QDoubleValidator*>(edit->validator());
        QVERIFY(validator);
        QCOMPARE(validator->locale().decimalPoint(), QLatin1Char('.'));
        QCOMPARE(validator->decimals(), 1000);
        QCOMPARE(validator->bottom(), -std::numeric_limits<double>::infinity());
        QCOMPARE(validator->top(), std::numeric_limits<double>::infinity());

        QCOMPARE(validate(*validator, QStringLiteral("1.5")), QValidator::Acceptable);
        QCOMPARE(validate(*validator, QStringLiteral("-2e3")), QValidator::Acceptable);
        QVERIFY(validate(*validator, QStringLiteral("1,5")) != QValidator::Acceptable);
        QVERIFY(validate(*validator, QStringLiteral("1,500")) != QValidator::Acceptable);

        setCell(12.3456789012345);
        delegate.setEditorData(edit.get(), cell());
        QCOMPARE(edit->text(), QStringLiteral("12.3456789012"));

        edit->setText(QStringLiteral(" 7.25 "));
        delegate.setModelData(edit.get(), &model, cell());
        QCOMPARE(model.data(cell(), Qt::EditRole).toDouble(), 7.25);

        // Text that is no number changes nothing rather than writing 0 (or 1500 for "1,500").
        for (const QString& text :
             { QString(), QStringLiteral("-"), QStringLiteral("1,500"), QStringLiteral("abc") }) {
            edit->setText(text);
            delegate.setModelData(edit.get(), &model, cell());
            QCOMPARE(model.data(cell(), Qt::EditRole).toDouble(), 7.25);
        }
    }

    void textAndStationFields()
    {
        const LineEditDelegate line;
        auto edit = editorOf<QLineEdit>(line);
        QVERIFY(edit);
        QCOMPARE(edit->maxLength(), 32767);
        QVERIFY(edit->inputMask().isEmpty());
        QVERIFY(!edit->validator());
        setCell(42);
        line.setEditorData(edit.get(), cell());
        QCOMPARE(edit->text(), QStringLiteral("42"));
        edit->setText(QStringLiteral("lane 1"));
        line.setModelData(edit.get(), &model, cell());
        QCOMPARE(model.data(cell(), Qt::EditRole), QVariant(QStringLiteral("lane 1")));

        const StationEditDelegate station;
        auto stationEdit = editorOf<QLineEdit>(station);
        QVERIFY(stationEdit);
        const auto* validator = dynamic_cast<const StationValidator*>(stationEdit->validator());
        QVERIFY(validator);
        QCOMPARE(validator->parent(), stationEdit.get());
        QCOMPARE(validate(*validator, QStringLiteral("K1+000")), QValidator::Acceptable);
        setCell(QStringLiteral("K12+345.678"));
        station.setEditorData(stationEdit.get(), cell());
        QCOMPARE(stationEdit->text(), QStringLiteral("K12+345.678"));
        stationEdit->setText(QStringLiteral("K0+100A"));
        station.setModelData(stationEdit.get(), &model, cell());
        QCOMPARE(model.data(cell(), Qt::EditRole), QVariant(QStringLiteral("K0+100A")));

        QStyleOptionViewItem option;
        option.rect = QRect(10, 20, 120, 30);
        station.updateEditorGeometry(stationEdit.get(), option, cell());
        QCOMPARE(stationEdit->geometry(), option.rect);
    }

    // An editor opened and closed without typing shows the value rounded, and must not write that.
    void editorsLeftAsTheyStartedWriteNothing()
    {
        struct CountingModel : QStandardItemModel
        {
            using QStandardItemModel::QStandardItemModel;
            bool setData(const QModelIndex& index, const QVariant& value, int role) override
            {
                ++writes;
                return QStandardItemModel::setData(index, value, role);
            }
            int writes = 0;
        } counting(1, 1);
        const QModelIndex only = counting.index(0, 0);

        const FloatNumEditDelegate number;
        const LineEditDelegate line;
        for (const QStyledItemDelegate* delegate : { static_cast<const QStyledItemDelegate*>(&number),
                                                     static_cast<const QStyledItemDelegate*>(&line) }) {
            std::unique_ptr<QWidget> editor(delegate->createEditor(&host, QStyleOptionViewItem(), only));
            auto* edit = qobject_cast<QLineEdit*>(editor.get());
            QVERIFY(edit);
            counting.QStandardItemModel::setData(only, 1234.5678901234567, Qt::EditRole);
            delegate->setEditorData(edit, only);
            delegate->setModelData(edit, &counting, only);
            QCOMPARE(counting.writes, 0);
            // Typed, it writes.
            edit->setText(QStringLiteral("1234.5"));
            delegate->setModelData(edit, &counting, only);
            QCOMPARE(counting.writes, 1);
            counting.writes = 0;
        }
    }

    void radiusField()
    {
        const RadiusValidator validator;
        for (const char* text : { "250", "250.5", ".5", "+12.1234", "0", "12." })
            QVERIFY2(validate(validator, QString::fromLatin1(text)) == QValidator::Acceptable, text);
        for (const char* text : { "", "-250", "-", "+", ".", "+.", "-.5" })
            QVERIFY2(validate(validator, QString::fromLatin1(text)) == QValidator::Intermediate, text);
        for (const char* text : { "12.12345", "12a5", "1,5", "--1", " 12", "1e3" })
            QVERIFY2(validate(validator, QString::fromLatin1(text)) == QValidator::Invalid, text);

        QString negative = QStringLiteral("-250");
        validator.fixup(negative);
        QCOMPARE(negative, QStringLiteral("250"));
        QString positive = QStringLiteral("+250");
        validator.fixup(positive);
        QCOMPARE(positive, QStringLiteral("+250"));

        QCOMPARE(RadiusValidator::toText(std::numeric_limits<double>::infinity()), QStringLiteral("0.000"));
        QCOMPARE(RadiusValidator::toText(-35.5), QStringLiteral("-35.500"));
    }
};

TRELVIN_TEST_MAIN(DelegatesTest)
#include "test_delegates.moc"
