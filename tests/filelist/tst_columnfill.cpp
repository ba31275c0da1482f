#include "core/WorkTable.h"
#include "filelist/ColumnFill.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestColumnFill : public QObject
{
    Q_OBJECT
private slots:
    void fill_data();
    void fill();
};

void TestColumnFill::fill_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("expected"); // <c6> of rows 0..4, "|" separated
    QTest::addRow("selected rows in list order")
        << 3 << QList<int>{3, 0, 2} << u"5"_s << u"10"_s << u"5|old|15|25|old"_s;
    QTest::addRow("empty boxes count as 0")
        << 3 << QList<int>{0, 2} << QString() << QString() << u"0|old|0|old|old"_s;
    QTest::addRow("past 16 bits") << 3 << QList<int>{0, 1} << u"999"_s << u"32767"_s
                                  << u"999|33766|old|old|old"_s;
    QTest::addRow("no wrap at 64 bits")
        << 3 << QList<int>{0, 1, 2} << u"9223372036854775806"_s << u"99999999999999999999"_s
        << u"9223372036854775806|9223372036854775807|9223372036854775807|old|old"_s;
    QTest::addRow("negative start, duplicates and strays")
        << 3 << QList<int>{2, 1, 1, -1, 7} << u"-1"_s << u"1"_s << u"old|-1|0|old|old"_s;
    QTest::addRow("clear") << 0 << QList<int>{1, 3} << u"1"_s << u"1"_s << u"old||old||old"_s;
    QTest::addRow("text") << 2 << QList<int>{4} << u"1"_s << u"1"_s << u"old|old|old|old| 値 "_s;
}

void TestColumnFill::fill()
{
    QFETCH(int, mode);
    QFETCH(QList<int>, selected);
    QFETCH(QString, start);
    QFETCH(QString, step);
    QFETCH(QString, expected);
    WorkTable t;
    t.addColumn(u"A"_s);
    t.addColumn(u"B"_s);
    t.files.appendRows(std::vector<FileList::Row>(5, {{}, {}, {}, {}, {}, {}, u"old"_s, u"old"_s}));
    const auto column = [&t](int c) {
        QStringList out;
        for (int r = 0; r < t.files.count(); ++r)
            out.append(t.files.cell(r, c));
        return out.join(u'|');
    };
    ColumnFill::Request request{
        mode, 0, std::vector<int>(selected.begin(), selected.end()), u"/data/in"_s, u" 値 "_s, start, step};
    ColumnFill::fill(t.files, request);
    QCOMPARE(column(6) + u'/' + column(7), expected + u"/old|old|old|old|old"_s);
    // The second entry writes the second user column; an entry past the columns writes nothing.
    for (int combo : {1, 2}) {
        request.comboIndex = combo;
        request.mode = combo == 2 ? ColumnFill::Clear : mode;
        ColumnFill::fill(t.files, request);
    }
    QCOMPARE(column(7), expected);
}

QTEST_GUILESS_MAIN(TestColumnFill)
#include "tst_columnfill.moc"
