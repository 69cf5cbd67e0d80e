#include "RecordSet.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

TRecordSet sample()
{
    TRecordSet rows;
    rows.setFields({{u"MoneyIndex"_s, QMetaType::LongLong, true},
                    {u"MoneyUser"_s, QMetaType::QString, false},
                    {u"MoneySum"_s, QMetaType::Double, false}});
    rows.appendRow({1, u"b"_s, 10.0});
    rows.appendRow({2, u"A"_s, 2.5});
    rows.appendRow({3, QVariant(), 100.0});
    rows.appendRow({4, u"a"_s, 2.5});
    return rows;
}

QList<int> keys(const TRecordSet &rows)
{
    QList<int> out;
    for (int r = 0; r < rows.recordCount(); ++r)
        out << rows.value(r, 0).toInt();
    return out;
}

} // namespace

class TestRecordSet : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fieldsByName();
    void sortCycle();
    void bookmarks();
    void queryCursor();
    void tsv();
};

void TestRecordSet::fieldsByName()
{
    const TRecordSet rows = sample();
    QCOMPARE(rows.fieldIndex(u"moneysum"_s), 2);
    QCOMPARE(rows.fieldIndex(u"Nope"_s), -1);
    QCOMPARE(rows.value(1, u"MoneyUser"_s).toString(), u"A"_s);
    QVERIFY(rows.value(7, 0).isNull());
    QVERIFY(rows.value(0, u"Nope"_s).isNull());
    QCOMPARE(rows.keyField(), u"MoneyIndex"_s);
}

void TestRecordSet::sortCycle()
{
    TRecordSet rows = sample();
    // Numbers as numbers; ties keep the fetched order (stable).
    QVERIFY(rows.sort(u"MoneySum"_s));
    QCOMPARE(keys(rows), (QList<int>{2, 4, 1, 3}));
    QVERIFY(rows.sort(u"MoneySum DESC"_s));
    QCOMPARE(keys(rows), (QList<int>{3, 1, 2, 4}));
    // Text without case, nulls first.
    QVERIFY(rows.sort(u"MoneyUser"_s));
    QCOMPARE(keys(rows), (QList<int>{3, 2, 4, 1}));
    QVERIFY(rows.sort(QString()));
    QCOMPARE(keys(rows), (QList<int>{1, 2, 3, 4}));
    QVERIFY(!rows.sort(u"Nope DESC"_s));
    QCOMPARE(keys(rows), (QList<int>{1, 2, 3, 4}));
}

void TestRecordSet::bookmarks()
{
    TRecordSet rows = sample();
    const QVariant mark = rows.bookmark(2); // key 3
    rows.sort(u"MoneySum DESC"_s);
    QCOMPARE(rows.findBookmark(mark), 0);
    QCOMPARE(rows.findBookmark(QVariant(99)), -1);
    QCOMPARE(rows.findBookmark(QVariant()), -1);
}

void TestRecordSet::queryCursor()
{
    TQuery q;
    QVERIFY(q.eof());
    QVERIFY(q.fieldValue(u"MoneyUser"_s).isNull()); // closed: null, no crash
    QSignalSpy opened(&q, &TQuery::opened);
    q.setResult(u"select"_s, sample());
    QCOMPARE(opened.count(), 1);
    QCOMPARE(q.recNo(), 0);
    QVERIFY(q.setRecNo(3));
    const QVariant mark = q.bookmark();
    QVERIFY(q.sort(u"MoneyIndex DESC"_s)); // the current row follows the sort
    QCOMPARE(q.fieldValue(u"MoneyIndex"_s).toInt(), 4);
    QCOMPARE(q.recNo(), 0);
    QVERIFY(q.first());
    QVERIFY(q.gotoBookmark(mark));
    QCOMPARE(q.recNo(), 0);
    int seen = 0;
    for (q.first(); !q.eof(); q.next())
        ++seen;
    QCOMPARE(seen, 4);
    q.close();
    QVERIFY(!q.isOpen());
    QCOMPARE(q.recordCount(), 0);
}

void TestRecordSet::tsv()
{
    TRecordSet rows;
    rows.setFields({{u"A"_s, QMetaType::QString, false}, {u"B"_s, QMetaType::Double, false}});
    rows.appendRow({u"x\ty\nz\\"_s, 1234.5});
    rows.appendRow({QVariant(), 1e21});
    QCOMPARE(ToTsv(rows), u"A\tB\nx\\ty\\nz\\\\\t1234.5\n\t1000000000000000000000\n"_s);
    QCOMPARE(ToTsv(rows, {u"B"_s}), u"B\n1234.5\n1000000000000000000000\n"_s);
}

QTEST_GUILESS_MAIN(TestRecordSet)
#include "tst_recordset.moc"
