#include "InputText.h"
#include "SpTBXIECombobox.h"
#include "SpTBXNumberEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <cmath>
#include <limits>
#include <memory>

using namespace Qt::StringLiterals;

using Action = InputText::RemarkAmountResult::Action;
Q_DECLARE_METATYPE(Action)

namespace {

// QTest::keyClicks sends Latin-1 only; Chinese characters arrive as text without a key code,
// as an input method would commit them.
void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Records the keys that reach a widget after its children let them go.
class KeyRecorder : public QObject
{
public:
    using QObject::QObject;
    QList<int> keys;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
            keys.append(static_cast<QKeyEvent *>(event)->key());
        return false;
    }
};

// A dialog with the inputs under test, a second input to take the focus, a default button
// for Enter and an Esc command, as the voucher editor has them.
struct Dialog
{
    std::unique_ptr<QDialog> dialog = std::make_unique<QDialog>();
    TSpTBXIECombobox *combo = new TSpTBXIECombobox(dialog.get());
    TSpTBXNumberEdit *number = new TSpTBXNumberEdit(dialog.get());
    QLineEdit *other = new QLineEdit(dialog.get());
    QPushButton *ok = new QPushButton(u"OK"_s, dialog.get());

    Dialog()
    {
        auto *layout = new QVBoxLayout(dialog.get());
        layout->addWidget(combo);
        layout->addWidget(number);
        layout->addWidget(other);
        layout->addWidget(ok);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, dialog.get(), &QDialog::accept);
        auto *cancel = new QAction(dialog.get());
        cancel->setShortcut(Qt::Key_Escape);
        dialog->addAction(cancel);
        QObject::connect(cancel, &QAction::triggered, dialog.get(), &QDialog::reject);
        combo->setItems({ u"李四"_s, u"张三"_s, u"王五"_s, u"Zs Trade"_s, u"钱七"_s });
        dialog->move(100, 100);
        dialog->resize(300, 200);
    }

    bool showActive()
    {
        dialog->show();
        dialog->activateWindow();
        return QTest::qWaitForWindowActive(dialog.get());
    }
};

} // namespace

class TestInputs : public QObject
{
    Q_OBJECT

private slots:
    // Text rules
    void pinyinInitials_data();
    void pinyinInitials();
    void remarkAmount_data();
    void remarkAmount();
    void acceptsNumberKey_data();
    void acceptsNumberKey();
    void numberValue_data();
    void numberValue();
    void plainNumber_data();
    void plainNumber();
    void formatNumber_data();
    void formatNumber();

    // Amount input
    void numberEditDefaults();
    void typedKeysAreFiltered_data();
    void typedKeysAreFiltered();
    void typedPointReplacesSelection();
    void pasteIsCleaned();
    void focusFormatsAndStrips_data();
    void focusFormatsAndStrips();
    void contextMenuFocusKeepsBareText();
    void numberValueAndSetValue();
    void numberEnterReachesDefaultButton();

    // Customer input
    void popupFilter_data();
    void popupFilter();
    void popupWithoutInitials();
    void popupPlacementAndHeight();
    void popupHeightCapsAtDropDownCount();
    void focusStaysInInput();
    void arrowKeysWrap();
    void arrowKeysAreConsumed();
    void enterCopiesSelectionAndCloses();
    void enterWithoutSelectionKeepsText();
    void enterWithClosedPopupReachesDefaultButton();
    void escapeClosesBeforeDialogSeesIt();
    void emptyingTextCloses();
    void dropButtonTogglesAllItems();
    void setTextDoesNotOpen();
    void clickOnItemCopiesAndCloses();
    void hoverMovesSelection();
    void closingReasons_data();
    void closingReasons();
    void caretGoesToEndOnClose();
};

// ---- Text rules --------------------------------------------------------------------------

void TestInputs::pinyinInitials_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("initials");

    QTest::newRow("张三") << u"张三"_s << u"ZS"_s;
    QTest::newRow("latin unchanged") << u"Zs Trade"_s << u"Zs Trade"_s;
    QTest::newRow("mixed") << u"张三 Trade 2号"_s << u"ZS Trade 2H"_s;
    QTest::newRow("empty") << QString() << QString();
    // Area-position codes at the edges of the ranges: 啊 1601, 澳 1636, 芭 1637, 祸 2786,
    // 击 2787 (no I between H and J), 沤 3729, 啪 3730, 唾 4557, 挖 4558 (no U, V), 座 5589.
    QTest::newRow("range edges") << u"啊澳芭祸击沤啪唾挖座"_s << u"AABHJOPTWZ"_s;
    // 亍 is 5601, a second-level character: nothing.
    QTest::newRow("second level") << u"张亍三"_s << u"ZS"_s;
    // Full-width brackets and letters are GB2312 symbols below 1601: nothing.
    QTest::newRow("GB2312 symbols") << u"张三（北京）ａ"_s << u"ZSBJ"_s;
    // 丂 is GBK only (81 40) and € a single byte; both copied as they are, as is an emoji.
    QTest::newRow("not GB2312 pairs") << u"丂€😀张"_s << u"丂€😀Z"_s;
}

void TestInputs::pinyinInitials()
{
    QFETCH(QString, text);
    QFETCH(QString, initials);
    QCOMPARE(InputText::PinyinInitials(text), initials);
}

void TestInputs::remarkAmount_data()
{
    QTest::addColumn<QString>("remark");
    QTest::addColumn<Action>("action");
    QTest::addColumn<double>("value");

    QTest::newRow("full-width comma") << u"午餐12.5，打车30$"_s << Action::Set << 42.5;
    QTest::newRow("yen sign") << u"买菜15￥"_s << Action::Set << 15.0;
    QTest::newRow("spaces") << u"饭10 车5.5$"_s << Action::Set << 15.5;
    QTest::newRow("no end sign") << u"饭10 车5.5"_s << Action::Keep << 0.0;
    QTest::newRow("sign not at end") << u"饭10$ 车5"_s << Action::Keep << 0.0;
    QTest::newRow("trailing space") << u"饭10$ "_s << Action::Keep << 0.0;
    QTest::newRow("several points") << u"1.2.3$"_s << Action::Set << 0.0;
    QTest::newRow("bad piece counts 0") << u"1.2.3 4$"_s << Action::Set << 4.0;
    QTest::newRow("several signs") << u"10$20￥5,5$"_s << Action::Set << 40.0;
    QTest::newRow("half-width comma") << u"a1,b2$"_s << Action::Set << 3.0;
    QTest::newRow("piece without digits") << u"备注,说明$"_s << Action::Set << 0.0;
    QTest::newRow("point forms") << u"5. .5$"_s << Action::Set << 5.5;
    QTest::newRow("binary noise") << u"0.1 0.2$"_s << Action::Set << 0.3;
    QTest::newRow("only sign") << u"$"_s << Action::Clear << 0.0;
    QTest::newRow("only yen") << u"￥"_s << Action::Clear << 0.0;
    QTest::newRow("spaces and signs only") << u"  $ ，$"_s << Action::Clear << 0.0;
    QTest::newRow("spaces only") << u"   "_s << Action::Keep << 0.0;
    QTest::newRow("empty") << QString() << Action::Keep << 0.0;
    // Only ASCII digits count; a full-width digit is not part of the number.
    QTest::newRow("full-width digits") << u"１２3$"_s << Action::Set << 3.0;
}

void TestInputs::remarkAmount()
{
    QFETCH(QString, remark);
    QFETCH(Action, action);
    QFETCH(double, value);
    const InputText::RemarkAmountResult result = InputText::RemarkAmount(remark);
    QCOMPARE(result.action, action);
    if (action == Action::Set)
        QCOMPARE(result.value, value);
}

void TestInputs::acceptsNumberKey_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QChar>("key");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("digit") << u"12"_s << QChar(u'7') << true;
    QTest::newRow("first point") << u"12"_s << QChar(u'.') << true;
    QTest::newRow("second point") << u"1.2"_s << QChar(u'.') << false;
    QTest::newRow("bell") << u"1.2"_s << QChar(7) << true;
    QTest::newRow("backspace") << u"1.2"_s << QChar(8) << true;
    QTest::newRow("tab") << u"1.2"_s << QChar(9) << true;
    QTest::newRow("minus") << QString() << QChar(u'-') << false;
    QTest::newRow("plus") << QString() << QChar(u'+') << false;
    QTest::newRow("comma") << u"1"_s << QChar(u',') << false;
    QTest::newRow("letter") << u"1"_s << QChar(u'e') << false;
    QTest::newRow("space") << u"1"_s << QChar(u' ') << false;
    QTest::newRow("full-width digit") << u"1"_s << QChar(u'５') << false;
    QTest::newRow("return") << u"1"_s << QChar(13) << false;
}

void TestInputs::acceptsNumberKey()
{
    QFETCH(QString, current);
    QFETCH(QChar, key);
    QFETCH(bool, accepted);
    QCOMPARE(InputText::AcceptsNumberKey(current, key), accepted);
}

void TestInputs::numberValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("lone point") << u"."_s << 0.0;
    QTest::newRow("several points") << u"1.2.3"_s << 0.0;
    QTest::newRow("formatted") << u"1,234.5"_s << 1234.5;
    QTest::newRow("with symbols") << u"¥-12元"_s << 12.0;
    QTest::newRow("trailing point") << u"5."_s << 5.0;
    QTest::newRow("leading point") << u".25"_s << 0.25;
    QTest::newRow("no digits") << u"abc"_s << 0.0;
    QTest::newRow("leading zeros") << u"007.50"_s << 7.5;
}

void TestInputs::numberValue()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(InputText::NumberValue(text), value);
}

void TestInputs::plainNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("fraction") << 15.5 << u"15.5"_s;
    QTest::newRow("whole") << 15.0 << u"15"_s;
    QTest::newRow("zero") << 0.0 << u"0"_s;
    QTest::newRow("negative zero") << -0.0 << u"0"_s;
    QTest::newRow("negative") << -2.5 << u"-2.5"_s;
    QTest::newRow("binary noise") << 0.1 + 0.2 << u"0.3"_s;
    QTest::newRow("no exponent, large") << 1e20 << u"100000000000000000000"_s;
    QTest::newRow("no exponent, small") << 0.00001 << u"0.00001"_s;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << QString();
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << QString();
}

void TestInputs::plainNumber()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(InputText::PlainNumber(value), text);
}

void TestInputs::formatNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("places");
    QTest::addColumn<QString>("shown");

    QTest::newRow("grouped fraction") << 1234.5 << u",#.##"_s << 2 << u"1,234.5"_s;
    QTest::newRow("grouped whole") << 1234.0 << u",#.##"_s << 2 << u"1,234"_s;
    QTest::newRow("below one") << 0.5 << u",#.##"_s << 2 << u"0.5"_s;
    QTest::newRow("zero") << 0.0 << u",#.##"_s << 2 << u"0"_s;
    QTest::newRow("millions") << 1234567.891 << u",#.##"_s << 2 << u"1,234,567.89"_s;
    QTest::newRow("exact hundreds") << 100.0 << u",#.##"_s << 2 << u"100"_s;
    QTest::newRow("half up on decimals") << 2.675 << u",#.##"_s << 2 << u"2.68"_s;
    QTest::newRow("carry into integer") << 999.995 << u",#.##"_s << 2 << u"1,000"_s;
    QTest::newRow("binary noise") << 0.1 + 0.2 << u",#.##"_s << 2 << u"0.3"_s;
    QTest::newRow("negative") << -1234.5 << u",#.##"_s << 2 << u"-1,234.5"_s;
    QTest::newRow("negative rounds to zero") << -0.001 << u",#.##"_s << 2 << u"0"_s;
    QTest::newRow("no grouping") << 1234.5 << u"0.##"_s << 2 << u"1234.5"_s;
    QTest::newRow("fixed places") << 1234.5 << u"#,##0.00"_s << 2 << u"1,234.50"_s;
    QTest::newRow("whole format") << 1234.5 << u"#,##0"_s << 2 << u"1,235"_s;
    QTest::newRow("literal prefix") << 12.0 << u"¥,#.##"_s << 2 << u"¥12"_s;
    QTest::newRow("empty, 2 places") << 1234.567 << QString() << 2 << u"1,234.57"_s;
    QTest::newRow("empty, 0 places") << 1234.5 << QString() << 0 << u"1,235"_s;
    QTest::newRow("empty, 3 places") << 1234.5678 << QString() << 3 << u"1,234.568"_s;
    QTest::newRow("large") << 1e15 << u",#.##"_s << 2 << u"1,000,000,000,000,000"_s;
}

void TestInputs::formatNumber()
{
    QFETCH(double, value);
    QFETCH(QString, format);
    QFETCH(int, places);
    QFETCH(QString, shown);
    QCOMPARE(InputText::FormatNumber(value, format, places), shown);
}

// ---- Amount input ------------------------------------------------------------------------

void TestInputs::numberEditDefaults()
{
    TSpTBXNumberEdit edit;
    QCOMPARE(edit.displayFormat(), QString());
    QCOMPARE(edit.decimalPlaces(), 2);
    QVERIFY(edit.alignment() & Qt::AlignRight);
    QVERIFY(edit.IsEmpty());
    QCOMPARE(edit.Value(), 0.0);
}

void TestInputs::typedKeysAreFiltered_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");

    QTest::newRow("minus") << u"-12"_s << u"12"_s;
    QTest::newRow("comma") << u"1,234"_s << u"1234"_s;
    QTest::newRow("second point") << u"1.2.3"_s << u"1.23"_s;
    QTest::newRow("letters and spaces") << u"a 7e+1"_s << u"71"_s;
    QTest::newRow("leading point") << u".5"_s << u".5"_s;
}

void TestInputs::typedKeysAreFiltered()
{
    QFETCH(QString, keys);
    QFETCH(QString, text);
    TSpTBXNumberEdit edit;
    QTest::keyClicks(&edit, keys);
    QCOMPARE(edit.text(), text);

    // Backspace still edits.
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), text.chopped(1));
}

void TestInputs::typedPointReplacesSelection()
{
    TSpTBXNumberEdit edit;
    edit.setText(u"12.5"_s);
    edit.selectAll();
    QTest::keyClicks(&edit, u".75"_s);
    QCOMPARE(edit.text(), u".75"_s);

    // With the point outside the selection a typed point is still refused.
    edit.setText(u"12.5"_s);
    edit.setSelection(0, 2);
    QTest::keyClicks(&edit, u"3.4"_s);
    QCOMPARE(edit.text(), u"34.5"_s);
}

void TestInputs::pasteIsCleaned()
{
    TSpTBXNumberEdit edit;
    QApplication::clipboard()->setText(u"-1,234.5.6元"_s);
    if (QApplication::clipboard()->text() != u"-1,234.5.6元"_s)
        QSKIP("no clipboard on this platform");
    edit.paste();
    QCOMPARE(edit.text(), u"1234.56"_s);
    QCOMPARE(edit.Value(), 1234.56);

    // Pasting text without any digit leaves the input as it was.
    QApplication::clipboard()->setText(u"abc"_s);
    edit.paste();
    QCOMPARE(edit.text(), u"1234.56"_s);

    // Text put in by code is cleaned the same way.
    edit.setText(u"¥ 8,000"_s);
    QCOMPARE(edit.text(), u"8000"_s);
}

void TestInputs::focusFormatsAndStrips_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("places");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("bare");
    QTest::addColumn<double>("value");

    QTest::newRow("editor format") << u",#.##"_s << 2 << u"1234.5"_s << u"1,234.5"_s << u"1234.5"_s << 1234.5;
    QTest::newRow("empty format") << QString() << 2 << u"1234.567"_s << u"1,234.57"_s << u"1234.57"_s << 1234.57;
    QTest::newRow("empty format, 0 places") << QString() << 0 << u"1234.5"_s << u"1,235"_s << u"1235"_s << 1235.0;
    QTest::newRow("plain format") << u"0.##"_s << 2 << u"1234.5"_s << u"1234.5"_s << u"1234.5"_s << 1234.5;
    QTest::newRow("lone point empties") << u",#.##"_s << 2 << u"."_s << QString() << QString() << 0.0;
    QTest::newRow("empty stays empty") << u",#.##"_s << 2 << QString() << QString() << QString() << 0.0;
}

void TestInputs::focusFormatsAndStrips()
{
    QFETCH(QString, format);
    QFETCH(int, places);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, bare);
    QFETCH(double, value);

    Dialog d;
    d.number->setDisplayFormat(format);
    d.number->setDecimalPlaces(places);
    QVERIFY(d.showActive());

    d.number->setFocus(Qt::TabFocusReason);
    QVERIFY(d.number->hasFocus());
    QTest::keyClicks(d.number, typed);
    d.other->setFocus(Qt::TabFocusReason);
    QCOMPARE(d.number->text(), shown);
    QCOMPARE(d.number->Value(), value);

    d.number->setFocus(Qt::TabFocusReason);
    QCOMPARE(d.number->text(), bare);
}

void TestInputs::contextMenuFocusKeepsBareText()
{
    TSpTBXNumberEdit edit;
    edit.setText(u"1234.5"_s);
    QFocusEvent popupOut(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(&edit, &popupOut);
    QCOMPARE(edit.text(), u"1234.5"_s);
    QFocusEvent tabOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&edit, &tabOut);
    QCOMPARE(edit.text(), u"1,234.5"_s);
}

void TestInputs::numberValueAndSetValue()
{
    TSpTBXNumberEdit edit;
    edit.setText(u"."_s);
    QCOMPARE(edit.Value(), 0.0);
    QVERIFY(!edit.IsEmpty());

    // The plain text, also while the input has no focus.
    edit.SetValue(15.5);
    QCOMPARE(edit.text(), u"15.5"_s);
    QCOMPARE(edit.Value(), 15.5);
    edit.SetValue(0.1 + 0.2);
    QCOMPARE(edit.text(), u"0.3"_s);
    edit.SetValue(1234567.0);
    QCOMPARE(edit.text(), u"1234567"_s);
    edit.SetValue(std::numeric_limits<double>::quiet_NaN());
    QVERIFY(edit.IsEmpty());
}

void TestInputs::numberEnterReachesDefaultButton()
{
    Dialog d;
    QVERIFY(d.showActive());
    QSignalSpy accepted(d.dialog.get(), &QDialog::accepted);
    d.number->setFocus();
    QTest::keyClicks(d.number, u"12"_s);
    QTest::keyClick(d.number, Qt::Key_Return);
    QCOMPARE(accepted.count(), 1);
}

// ---- Customer input ----------------------------------------------------------------------

void TestInputs::popupFilter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<int>("current");

    // Items: 李四 (LS), 张三 (ZS), 王五 (WW), Zs Trade, 钱七 (QQ).
    QTest::newRow("initials and text") << u"zs"_s << QStringList { u"张三"_s, u"Zs Trade"_s } << -1;
    QTest::newRow("upper-case typing") << u"ZS"_s << QStringList { u"张三"_s, u"Zs Trade"_s } << -1;
    QTest::newRow("Chinese text") << u"三"_s << QStringList { u"张三"_s } << 0;
    QTest::newRow("one initial") << u"w"_s << QStringList { u"王五"_s } << 0;
    QTest::newRow("initial in several") << u"s"_s << QStringList { u"李四"_s, u"张三"_s, u"Zs Trade"_s } << -1;
    QTest::newRow("inner text") << u"trade"_s << QStringList { u"Zs Trade"_s } << 0;
    QTest::newRow("nothing") << u"xyz"_s << QStringList {} << -1;
}

void TestInputs::popupFilter()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, listed);
    QFETCH(int, current);

    Dialog d;
    QVERIFY(d.showActive());
    d.combo->setFocus();
    TypeText(d.combo->lineEdit(), typed);
    QCOMPARE(d.combo->text(), typed);
    QVERIFY(d.combo->PopupVisible());
    QCOMPARE(d.combo->PopupItems(), listed);
    QCOMPARE(d.combo->PopupCurrentRow(), current);
}

void TestInputs::popupWithoutInitials()
{
    Dialog d;
    d.combo->setPyEnable(false);
    QVERIFY(d.showActive());
    d.combo->setFocus();
    QTest::keyClicks(d.combo->lineEdit(), u"zs"_s);
    QCOMPARE(d.combo->PopupItems(), QStringList { u"Zs Trade"_s });
    QTest::keyClick(d.combo->lineEdit(), Qt::Key_Backspace);
    QTest::keyClick(d.combo->lineEdit(), Qt::Key_Backspace);
    TypeText(d.combo->lineEdit(), u"三"_s);
    QCOMPARE(d.combo->PopupItems(), QStringList { u"张三"_s });
}

void TestInputs::popupPlacementAndHeight()
{
    Dialog d;
    QVERIFY(d.showActive());
    d.combo->setFocus();
    QTest::keyClicks(d.combo->lineEdit(), u"zs"_s);
    const QListWidget *popup = d.combo->PopupList();
    QVERIFY(popup->isWindow());
    QCOMPARE(popup->geometry().topLeft(), d.combo->mapToGlobal(QPoint(0, d.combo->height())));
    QCOMPARE(popup->width(), d.combo->width());
    QCOMPARE(popup->height(), d.combo->ItemHeight() * 2 + 5);
    QCOMPARE(popup->visualItemRect(popup->item(0)).height(), d.combo->ItemHeight());

    // Nothing listed: one row high.
    QTest::keyClick(d.combo->lineEdit(), 'q');
    QVERIFY(d.combo->PopupItems().isEmpty());
    QCOMPARE(popup->height(), d.combo->ItemHeight());
}

void TestInputs::popupHeightCapsAtDropDownCount()
{
    Dialog d;
    QCOMPARE(d.combo->dropDownCount(), 12);
    d.combo->setDropDownCount(3);
    QVERIFY(d.showActive());
    d.combo->TogglePopup();
    QCOMPARE(d.combo->PopupItems().size(), 5);
    QCOMPARE(d.combo->PopupList()->height(), d.combo->ItemHeight() * 3 + 5);
}

void TestInputs::focusStaysInInput()
{
    Dialog d;
    QVERIFY(d.showActive());
    d.combo->setFocus();
    QTest::keyClicks(d.combo->lineEdit(), u"zs"_s);
    QVERIFY(d.combo->PopupVisible());
    QCOMPARE(QApplication::focusWidget(), d.combo->lineEdit());
    QCOMPARE(QApplication::activeWindow(), d.dialog.get());
    // Typing goes on with the list open.
    QTest::keyClicks(d.combo->lineEdit(), u" t"_s);
    QCOMPARE(d.combo->PopupItems(), QStringList { u"Zs Trade"_s });
}

void TestInputs::arrowKeysWrap()
{
    Dialog d;
    QVERIFY(d.showActive());
    d.combo->setFocus();
    QTest::keyClicks(d.combo->lineEdit(), u"s"_s); // 李四, 张三, Zs Trade
    QCOMPARE(d.combo->PopupCurrentRow(), -1);
    QWidget *edit = d.combo->lineEdit();

    QTest::keyClick(edit, Qt::Key_Down);
    QCOMPARE(d.combo->PopupCurrentRow(), 0);
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Down);
    QCOMPARE(d.combo->PopupCurrentRow(), 2);
    QTest::keyClick(edit, Qt::Key_Down);
    QCOMPARE(d.combo->PopupCurrentRow(), 0);
    QTest::keyClick(edit, Qt::Key_Up);
    QCOMPARE(d.combo->PopupCurrentRow(), 2);
    QTest::keyClick(edit, Qt::Key_Up);
    QCOMPARE(d.combo->PopupCurrentRow(), 1);

    // Up with nothing selected goes to the last row.
    QTest::keyClicks(edit, u"a"_s); // "sa" lists nothing; back to "s" gives a fresh list
    QVERIFY(d.combo->PopupItems().isEmpty());
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(d.combo->PopupCurrentRow(), -1);
    QTest::keyClick(edit, Qt::Key_Up);
    QCOMPARE(d.combo->PopupCurrentRow(), 2);
}

void TestInputs::arrowKeysAreConsumed()
{
    Dialog d;
    KeyRecorder recorder;
    d.combo->installEventFilter(&recorder);
    d.dialog->installEventFilter(&recorder);
    QVERIFY(d.showActive());
    d.combo->setFocus();
    QWidget *edit = d.combo->lineEdit();

    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Up);
    QVERIFY(!d.combo->PopupVisible());
    QTest::keyClicks(edit, u"zs"_s);
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Up);
    QVERIFY(d.combo->PopupVisible());
    QVERIFY2(recorder.keys.isEmpty(), "arrow keys leaked to the dialog");
}

void TestInputs::enterCopiesSelectionAndCloses()
{
    Dialog d;
    QVERIFY(d.showActive());
    QSignalSpy accepted(d.dialog.get(), &QDialog::accepted);
    d.combo->setFocus();
    QWidget *edit = d.combo->lineEdit();
    QTest::keyClicks(edit, u"zs"_s);
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(d.combo->text(), u"Zs Trade"_s);
    QVERIFY(!d.combo->PopupVisible());
    QCOMPARE(d.combo->lineEdit()->cursorPosition(), 8);
    // The Enter that picked the item does not also press the default button.
    QCOMPARE(accepted.count(), 0);

    // A single match is preselected: Enter takes it straight away.
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    TypeText(edit, u"五"_s);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(d.combo->text(), u"王五"_s);
    QCOMPARE(accepted.count(), 0);
}

void TestInputs::enterWithoutSelectionKeepsText()
{
    Dialog d;
    QVERIFY(d.showActive());
    QSignalSpy accepted(d.dialog.get(), &QDialog::accepted);
    d.combo->setFocus();
    QTest::keyClicks(d.combo->lineEdit(), u"zs"_s);
    QTest::keyClick(d.combo->lineEdit(), Qt::Key_Return);
    QCOMPARE(d.combo->text(), u"zs"_s);
    QVERIFY(!d.combo->PopupVisible());
    QCOMPARE(accepted.count(), 0);
}

void TestInputs::enterWithClosedPopupReachesDefaultButton()
{
    Dialog d;
    QVERIFY(d.showActive());
    QSignalSpy accepted(d.dialog.get(), &QDialog::accepted);
    d.combo->setFocus();
    d.combo->setText(u"张三"_s);
    QTest::keyClick(d.combo->lineEdit(), Qt::Key_Return);
    QCOMPARE(accepted.count(), 1);
}

void TestInputs::escapeClosesBeforeDialogSeesIt()
{
    Dialog d;
    QVERIFY(d.showActive());
    QSignalSpy rejected(d.dialog.get(), &QDialog::rejected);
    d.combo->setFocus();
    QTest::keyClicks(d.combo->lineEdit(), u"zs"_s);
    QTest::keyClick(d.combo->lineEdit(), Qt::Key_Escape);
    QVERIFY(!d.combo->PopupVisible());
    QCOMPARE(d.combo->text(), u"zs"_s);
    QCOMPARE(rejected.count(), 0);

    // With the list closed Esc is the dialog's.
    QTest::keyClick(d.combo->lineEdit(), Qt::Key_Escape);
    QCOMPARE(rejected.count(), 1);
}

void TestInputs::emptyingTextCloses()
{
    Dialog d;
    QVERIFY(d.showActive());
    d.combo->setFocus();
    QTest::keyClicks(d.combo->lineEdit(), u"zs"_s);
    QTest::keyClick(d.combo->lineEdit(), Qt::Key_Backspace);
    QVERIFY(d.combo->PopupVisible());
    QTest::keyClick(d.combo->lineEdit(), Qt::Key_Backspace);
    QVERIFY(!d.combo->PopupVisible());
}

void TestInputs::dropButtonTogglesAllItems()
{
    Dialog d;
    QVERIFY(d.showActive());
    d.other->setFocus();
    d.combo->setText(u"zs"_s);
    const QPoint button = d.combo->DropButtonRect().center();
    QVERIFY(d.combo->DropButtonRect().isValid());

    QTest::mouseClick(d.combo, Qt::LeftButton, {}, button);
    QVERIFY(d.combo->PopupVisible());
    QCOMPARE(d.combo->PopupItems(), d.combo->items());
    QCOMPARE(QApplication::focusWidget(), d.combo->lineEdit());

    QTest::mouseClick(d.combo, Qt::LeftButton, {}, button);
    QVERIFY(!d.combo->PopupVisible());

    // F4 does the same from the keyboard.
    QTest::keyClick(d.combo->lineEdit(), Qt::Key_F4);
    QCOMPARE(d.combo->PopupItems(), d.combo->items());
}

void TestInputs::setTextDoesNotOpen()
{
    Dialog d;
    QVERIFY(d.showActive());
    d.combo->setFocus();
    QSignalSpy changed(d.combo, &TSpTBXIECombobox::textChanged);
    d.combo->setText(u"zs"_s);
    QCOMPARE(d.combo->text(), u"zs"_s);
    QVERIFY(!d.combo->PopupVisible());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), u"zs"_s);
}

void TestInputs::clickOnItemCopiesAndCloses()
{
    Dialog d;
    QVERIFY(d.showActive());
    d.combo->setFocus();
    QTest::keyClicks(d.combo->lineEdit(), u"zs"_s);
    QListWidget *popup = d.combo->PopupList();
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, popup->visualItemRect(popup->item(1)).center());
    QCOMPARE(d.combo->text(), u"Zs Trade"_s);
    QVERIFY(!d.combo->PopupVisible());
    QCOMPARE(QApplication::focusWidget(), d.combo->lineEdit());
}

void TestInputs::hoverMovesSelection()
{
    Dialog d;
    QVERIFY(d.showActive());
    d.combo->setFocus();
    QTest::keyClicks(d.combo->lineEdit(), u"s"_s);
    QListWidget *popup = d.combo->PopupList();
    const QPoint row2 = popup->visualItemRect(popup->item(2)).center();
    QMouseEvent move(
        QEvent::MouseMove, row2, popup->viewport()->mapToGlobal(row2), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(popup->viewport(), &move);
    QCOMPARE(d.combo->PopupCurrentRow(), 2);
    QVERIFY(d.combo->PopupVisible());
}

void TestInputs::closingReasons_data()
{
    QTest::addColumn<QString>("reason");
    QTest::newRow("focus moves") << u"focus"_s;
    QTest::newRow("click outside") << u"click"_s;
    QTest::newRow("application deactivated") << u"deactivate"_s;
    QTest::newRow("application inactive") << u"state"_s;
    QTest::newRow("window moves") << u"move"_s;
    QTest::newRow("input disabled") << u"disable"_s;
    QTest::newRow("dialog hidden") << u"hide"_s;
}

void TestInputs::closingReasons()
{
    QFETCH(QString, reason);
    Dialog d;
    QVERIFY(d.showActive());
    d.combo->setFocus();
    QTest::keyClicks(d.combo->lineEdit(), u"zs"_s);
    QVERIFY(d.combo->PopupVisible());

    // A click inside the list or the input leaves it open.
    QTest::mousePress(d.combo->PopupList()->viewport(), Qt::RightButton);
    QTest::mouseRelease(d.combo->PopupList()->viewport(), Qt::RightButton);
    QVERIFY(d.combo->PopupVisible());

    if (reason == u"focus") {
        d.other->setFocus();
    } else if (reason == u"click") {
        // On the dialog's margin, which takes no focus: only the click itself can close it.
        QTest::mouseClick(d.dialog.get(), Qt::LeftButton, {}, QPoint(1, 1));
    } else if (reason == u"deactivate") {
        QEvent event(QEvent::ApplicationDeactivate);
        QApplication::sendEvent(qApp, &event);
    } else if (reason == u"state") {
        QApplicationStateChangeEvent event(Qt::ApplicationInactive);
        QApplication::sendEvent(qApp, &event);
    } else if (reason == u"move") {
        d.dialog->move(d.dialog->pos() + QPoint(30, 30));
    } else if (reason == u"disable") {
        d.combo->setEnabled(false);
    } else if (reason == u"hide") {
        d.dialog->hide();
    }
    QTRY_VERIFY(!d.combo->PopupVisible());
}

void TestInputs::caretGoesToEndOnClose()
{
    Dialog d;
    QVERIFY(d.showActive());
    d.combo->setFocus();
    QTest::keyClicks(d.combo->lineEdit(), u"zs"_s);
    QTest::keyClick(d.combo->lineEdit(), Qt::Key_Home);
    QCOMPARE(d.combo->lineEdit()->cursorPosition(), 0);
    QTest::keyClick(d.combo->lineEdit(), Qt::Key_Escape);
    QCOMPARE(d.combo->lineEdit()->cursorPosition(), 2);
}

QTEST_MAIN(TestInputs)
#include "tst_inputs.moc"
