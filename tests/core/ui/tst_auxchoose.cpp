// The selection / deletion list dialog: what the caller receives for every way of
// ending it, which boxes come back in auxChooseChecked, and that nothing is reported
// for deletion without a Yes to the confirmation.
#include <functional>

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpacerItem>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include "core/item_choice.h"
#include "core/ui/auxchoose.h"
#include "run_modal.h"
#include "support/message_recorder.h"

namespace {

const QString kConfirmText = QStringLiteral("Are you sure you want to delete this item?");

template <typename T>
QList<T*> listed(AuxChoose& dialog)
{
    return dialog.findChild<QWidget*>("scroll_contents")->findChildren<T*>(QString(), Qt::FindDirectChildrenOnly);
}

QPushButton* button(AuxChoose& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(name);
}

void click(QAbstractButton* b)
{
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

// A user action: "r<i>" clicks radio i, "c<i>" clicks check box i, then one of
// "select", "cancel", "escape", "close" ends (or tries to end) the dialog.
void perform(AuxChoose& dialog, const QStringList& actions)
{
    const auto radios = listed<QRadioButton>(dialog);
    const auto checks = listed<QCheckBox>(dialog);
    for (const QString& a : actions) {
        if (a == "select")
            click(button(dialog, "but_select"));
        else if (a == "cancel")
            click(button(dialog, "but_cancel"));
        else if (a == "escape")
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else if (a == "close")
            dialog.close();
        else if (a.startsWith('r'))
            click(radios.value(a.mid(1).toInt()));
        else if (a.startsWith('c'))
            click(checks.value(a.mid(1).toInt()));
        else
            QFAIL(qPrintable("unknown action " + a));
    }
}

} // namespace

class TestAuxChoose : public QObject {
    Q_OBJECT

private slots:
    void formInSelectionAndDeletionMode();
    void itemsInOrderAboveTheSpacer();
    void constructorEmptiesCheckedList();
    void outcome_data();
    void outcome();
    void refusedDeletionKeepsDialogOpen();
    void deletesOnlyTheConfirmedItem();
    void secondSelectDoesNotDuplicateBoxes();
    void storedItemChooserNamesTheChosenItem();
};

void TestAuxChoose::formInSelectionAndDeletionMode()
{
    QWidget parent;
    AuxChoose select(0, &parent);
    QCOMPARE(select.objectName(), QString("AuxChoose"));
    QCOMPARE(select.windowTitle(), QString("KAVRO - Selection window"));
    QCOMPARE(button(select, "but_select")->text(), QString("Select"));
    QCOMPARE(button(select, "but_cancel")->text(), QString("Cancel"));
    QVERIFY(select.findChild<QScrollArea*>("scrollArea")->widgetResizable());
    QCOMPARE(select.size(), QSize(400, 300));
    // the list spans both columns above Cancel (left) and Select (right)
    auto* grid = select.findChild<QGridLayout*>("mainGrid");
    QVERIFY(grid);
    QCOMPARE(grid, select.layout());
    struct Cell {
        const char* name;
        int row, column, rowSpan, columnSpan;
    };
    for (const Cell& c :
         {Cell{"scrollArea", 0, 0, 1, 2}, Cell{"but_cancel", 1, 0, 1, 1}, Cell{"but_select", 1, 1, 1, 1}}) {
        int row = -1, column = -1, rowSpan = -1, columnSpan = -1;
        grid->getItemPosition(grid->indexOf(select.findChild<QWidget*>(c.name)), &row, &column, &rowSpan, &columnSpan);
        QCOMPARE(QList<int>({row, column, rowSpan, columnSpan}),
                 QList<int>({c.row, c.column, c.rowSpan, c.columnSpan}));
    }

    AuxChoose del(1, &parent);
    QCOMPARE(del.windowTitle(), QString("KAVRO - Deletion window"));
    QCOMPARE(button(del, "but_select")->text(), QString("Delete"));
    QCOMPARE(button(del, "but_cancel")->text(), QString("Cancel"));
}

void TestAuxChoose::itemsInOrderAboveTheSpacer()
{
    AuxChoose dialog(0, nullptr);
    QVERIFY(dialog.addRadio("LOX-RP1", false));
    QVERIFY(dialog.addCheck(u8"N\u00e9o \u00d1 \u00b0C", true));
    QVERIFY(dialog.addRadio("Z-last", true));

    auto* layout = dialog.findChild<QVBoxLayout*>("scroll_layout");
    QVERIFY(layout);
    QCOMPARE(layout->count(), 4);
    const QStringList expected{"LOX-RP1", QString::fromUtf8(u8"N\u00e9o \u00d1 \u00b0C"), "Z-last"};
    for (int i = 0; i < 3; ++i) {
        auto* b = qobject_cast<QAbstractButton*>(layout->itemAt(i)->widget());
        QVERIFY(b);
        QCOMPARE(b->text(), expected[i]);
        QCOMPARE(b->isEnabled(), i == 0);
    }
    QSpacerItem* spacer = layout->itemAt(3)->spacerItem();
    QVERIFY(spacer);
    QCOMPARE(spacer->sizeHint(), QSize(40, 20));
    QCOMPARE(spacer->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(spacer->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
}

void TestAuxChoose::constructorEmptiesCheckedList()
{
    auxChooseChecked = {4, 7};
    AuxChoose dialog(0, nullptr);
    QVERIFY(auxChooseChecked.empty());
}

// Each row: mode, the items ("r:" radio, "c:" check box, "!" disabled), the user's
// actions, the answers to the confirmations; then what the caller receives, the
// ticked indices reported and the items the dialog asked about.
void TestAuxChoose::outcome_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("result");
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<QStringList>("asked");

    const QStringList three{"r:A", "r:B", "r:C"};
    const QList<int> none;
    const int yes = Msg::Yes, cancel = Msg::Cancel;

    QTest::newRow("select first") << 0 << three << QStringList{"r0", "select"} << none << 2 << none << QStringList{};
    QTest::newRow("select third") << 0 << three << QStringList{"r2", "select"} << none << 4 << none << QStringList{};
    QTest::newRow("last click wins") << 0 << three << QStringList{"r0", "r1", "select"} << none << 3 << none
                                     << QStringList{};
    QTest::newRow("select nothing checked")
            << 0 << three << QStringList{"select"} << none << -1 << none << QStringList{};
    QTest::newRow("no items") << 0 << QStringList{} << QStringList{"select"} << none << -1 << none << QStringList{};
    QTest::newRow("cancel button") << 0 << three << QStringList{"r1", "cancel"} << none << -1 << none << QStringList{};
    QTest::newRow("escape") << 0 << three << QStringList{"r1", "escape"} << none << -1 << none << QStringList{};
    QTest::newRow("window closed") << 0 << three << QStringList{"r1", "close"} << none << -1 << none << QStringList{};
    QTest::newRow("disabled radio not chosen")
            << 0 << QStringList{"r:A", "r!:B"} << QStringList{"r1", "select"} << none << -1 << none << QStringList{};
    QTest::newRow("ticked boxes, result ignored")
            << 0 << QStringList{"c:H2", "c:O2", "c:H2O", "c:OH"} << QStringList{"c3", "c0", "c2", "c3", "select"}
            << none << -1 << QList<int>{0, 2} << QStringList{};
    QTest::newRow("disabled box never reported")
            << 0 << QStringList{"c:H2", "c!:O2", "c:H2O"} << QStringList{"c0", "c1", "c2", "select"} << none << -1
            << QList<int>{0, 2} << QStringList{};
    QTest::newRow("boxes and a radio") << 0 << QStringList{"c:x", "r:A", "c:y", "r:B"}
                                       << QStringList{"c1", "r1", "select"} << none << 3 << QList<int>{1}
                                       << QStringList{};
    QTest::newRow("ticked then cancelled")
            << 0 << QStringList{"c:H2", "c:O2"} << QStringList{"c0", "cancel"} << none << -1 << none << QStringList{};
    QTest::newRow("delete confirmed") << 1 << three << QStringList{"r1", "delete"} << QList<int>{yes} << 3 << none
                                      << QStringList{"B"};
    QTest::newRow("delete nothing checked")
            << 1 << three << QStringList{"select"} << none << -1 << none << QStringList{};
    QTest::newRow("delete boxes, second refused")
            << 1 << QStringList{"c:a", "c:b", "c:c"} << QStringList{"c0", "c1", "c2", "select"}
            << QList<int>{yes, cancel, yes} << -1 << QList<int>{0, 2} << QStringList{"a", "b", "c"};
    QTest::newRow("delete cancel button")
            << 1 << three << QStringList{"r0", "cancel"} << none << -1 << none << QStringList{};
}

void TestAuxChoose::outcome()
{
    QFETCH(int, mode);
    QFETCH(QStringList, items);
    QFETCH(QStringList, actions);
    QFETCH(QList<int>, answers);
    QFETCH(int, result);
    QFETCH(QList<int>, checked);
    QFETCH(QStringList, asked);

    MessageRecorder recorder;
    for (int a : answers)
        recorder.answer(static_cast<Msg::Button>(a));
    for (QString& a : actions)
        if (a == "delete")
            a = "select";

    QWidget tab;
    auto* dialog = new AuxChoose(mode, &tab);
    for (const QString& item : items) {
        const bool disabled = item.at(1) == '!';
        const std::string text = item.section(':', 1).toStdString();
        if (item.startsWith('r'))
            dialog->addRadio(text, disabled);
        else
            dialog->addCheck(text, disabled);
    }

    QCOMPARE(runModal(*dialog, [&] { perform(*dialog, actions); }), result);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(QList<int>(auxChooseChecked.begin(), auxChooseChecked.end()), checked);

    QStringList askedTexts;
    for (const MessageRequest& m : recorder.messages()) {
        QCOMPARE(m.icon, Msg::Question);
        QCOMPARE(m.text, kConfirmText);
        QCOMPARE(m.buttons, Msg::Yes | Msg::Cancel);
        QCOMPARE(m.defaultButton, Msg::Yes);
        askedTexts << m.informativeText;
    }
    QCOMPARE(askedTexts, asked);
}

void TestAuxChoose::refusedDeletionKeepsDialogOpen()
{
    MessageRecorder recorder;
    recorder.answer(Msg::Cancel);
    recorder.answer(Msg::Yes);
    AuxChoose dialog(1, nullptr);
    dialog.addRadio("first", false);
    dialog.addRadio("second", false);
    bool stayedOpen = false, stillChecked = false;

    const int r = runModal(dialog, [&] {
        perform(dialog, {"r1", "select"});
        stayedOpen = dialog.isVisible();
        stillChecked = listed<QRadioButton>(dialog).value(1)->isChecked();
        perform(dialog, {"select"});
    });
    QVERIFY(stayedOpen);
    QVERIFY(stillChecked);
    QCOMPARE(r, 3);
    QCOMPARE(recorder.messages().size(), size_t(2));
    QCOMPARE(recorder.messages()[0].informativeText, QString("second"));
}

// A tab's delete operation: the item removed is the one whose name was confirmed.
void TestAuxChoose::deletesOnlyTheConfirmedItem()
{
    for (const auto answer : {Msg::Yes, Msg::Cancel}) {
        MessageRecorder recorder;
        recorder.answer(answer);
        QStringList stored{"Grain A", "Grain B", "Grain C"};
        const std::vector<std::string> names{"Grain A", "Grain B", "Grain C"};
        QWidget tab;
        auto* dialog = new AuxChoose(itemChooser::remove, &tab);
        for (const std::string& name : names)
            dialog->addRadio(name, false);
        const int r = runModal(*dialog, [&] {
            perform(*dialog, {"r2", "select"});
            if (dialog->isVisible())
                perform(*dialog, {"cancel"});
        });
        if (const auto chosen = chosenItem(r, names))
            stored.removeAll(QString::fromStdString(*chosen));
        QCOMPARE(recorder.messages().size(), size_t(1));
        QCOMPARE(recorder.messages()[0].informativeText, QString("Grain C"));
        if (answer == Msg::Yes)
            QCOMPARE(stored, QStringList({"Grain A", "Grain B"}));
        else
            QCOMPARE(stored, QStringList({"Grain A", "Grain B", "Grain C"}));
    }
}

// Refusing the radio button's confirmation leaves the dialog open with the boxes
// confirmed so far reported; pressing again must report each ticked box once, not twice.
void TestAuxChoose::secondSelectDoesNotDuplicateBoxes()
{
    MessageRecorder recorder;
    for (auto a : {Msg::Yes, Msg::Cancel, Msg::Yes, Msg::Yes})
        recorder.answer(a);
    AuxChoose dialog(1, nullptr);
    dialog.addCheck("box", false);
    dialog.addRadio("item", false);
    std::vector<int> afterRefusal{-1};
    const int r = runModal(dialog, [&] {
        perform(dialog, {"c0", "r0", "select"});
        afterRefusal = auxChooseChecked;
        perform(dialog, {"select"});
    });
    QCOMPARE(r, 2);
    QCOMPARE(afterRefusal, std::vector<int>{0});
    QCOMPARE(auxChooseChecked, std::vector<int>{0});
}

// The tabs' chooser lists the stored names in order, enabled, in the mode asked for; its
// result names the item clicked, and a cancelled dialog names none.
void TestAuxChoose::storedItemChooserNamesTheChosenItem()
{
    const std::vector<std::string> names{"Cone", "Bell", "Plain"};
    QWidget tab;
    const struct Case {
        int mode;
        QStringList actions;
        std::string expected; // empty: no item
    } cases[] = {{itemChooser::select, {"r1", "select"}, "Bell"},
                 {itemChooser::select, {"r2", "cancel"}, ""},
                 {itemChooser::remove, {"r0", "select"}, "Cone"}};
    for (const Case& c : cases) {
        MessageRecorder recorder; // the deletion's confirmation: Yes
        QStringList listedNames, title;
        bool allEnabled = true;
        QTimer::singleShot(0, &tab, [&] {
            auto* dialog = qobject_cast<AuxChoose*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->parentWidget(), &tab);
            title << dialog->windowTitle();
            for (QRadioButton* radio : listed<QRadioButton>(*dialog)) {
                listedNames << radio->text();
                allEnabled = allEnabled && radio->isEnabled();
            }
            perform(*dialog, c.actions);
        });
        QTimer::singleShot(5000, &tab, [] {
            if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                open->done(-99); // a failed check left it open
        });
        const int result = runItemChooser(&tab, c.mode, names);
        QCOMPARE(listedNames, QStringList({"Cone", "Bell", "Plain"}));
        QVERIFY(allEnabled);
        QCOMPARE(title,
                 QStringList{c.mode == itemChooser::select ? "KAVRO - Selection window" : "KAVRO - Deletion window"});
        QCOMPARE(QString::fromStdString(chosenItem(result, names).value_or("")), QString::fromStdString(c.expected));
    }
}

QTEST_MAIN(TestAuxChoose)
#include "tst_auxchoose.moc"
