#include "platform/NativeName.h"
#include "run/CsvText.h"
#include "run/RunResults.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

class TestRunResults : public QObject
{
    Q_OBJECT
private slots:
    void cell_data();
    void cell();
    void spreadsheetReadsOnlyData();
    void capturedStreamIsBounded_data();
    void capturedStreamIsBounded();
    void outputIsShownReadably_data();
    void outputIsShownReadably();
};

void TestRunResults::cell_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cell");
    QTest::addRow("plain, a formula character later") << u"写真 a=b-c.jpg"_s << u"写真 a=b-c.jpg"_s;
    QTest::addRow("bytes beside a backslash") << NativeName::decode("a\\b\xff\xe9") << u"a\\\\b\\xFF\\xE9"_s;
    QTest::addRow("a real \\xE9 or \\xe9 is told from a byte") << u"\\xE9\\xe9"_s << u"\\\\xE9\\\\xe9"_s;
    QTest::addRow("other backslashes stay") << u"a\\b\\x"_s << u"a\\b\\x"_s;
    // U+10080 ends in the surrogate U+DC80: half of a character, not a byte.
    QTest::addRow("surrogate pair") << u"\U00010080"_s << u"\U00010080"_s;
}

void TestRunResults::cell()
{
    QFETCH(QString, text);
    QFETCH(QString, cell);
    QCOMPARE(CsvText::cell(text), cell);
}

void TestRunResults::spreadsheetReadsOnlyData()
{
    // Names that need quoting, that a spreadsheet would take for formulas, or that are not UTF-8.
    const QStringList names{u"a,\"b\".jpg"_s,   u"=HYPERLINK(\"http://example.org\",\"click\").txt"_s,
                            u"\r=1.txt"_s,      NativeName::decode("caf\xe9.txt"),
                            u"café.txt"_s,      u"caf?.txt"_s,
                            u"caf\uFFFD.txt"_s, u"caf\\xE9.txt"_s};
    RunResults results;
    for (const QString& name : names) {
        RunResults::Job job;
        job.key = u"<App1>"_s;
        job.app = u"変換"_s;
        job.file = name;
        job.path = u"/d/"_s + name;
        job.start = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9));
        results.finish(results.add(job), RunResults::State::Exited, 2, 1500);
    }
    const QByteArray csv = results.toCsv();
    const QByteArray head =
        "\xEF\xBB\xBF"_ba + u"番号,バッチ,<c2>,<c5>,開始時刻,所要時間 (秒),結果\r\n"
                            u"1,<App1> 変換,\"a,\"\"b\"\".jpg\",\"/d/a,\"\"b\"\".jpg\","
                            u"2024/05/06 07:08:09,1.500,エラー終了 (コード 2)\r\n"_s.toUtf8();
    QCOMPARE(csv.left(head.size()), head);
    // Read back as a spreadsheet reads a CSV file: the byte-order mark taken, quotes and CR LF undone.
    QProcess python;
    python.start(u"python3"_s,
                 {u"-c"_s, u"import csv, io, json, sys\n"
                           u"f = io.TextIOWrapper(sys.stdin.buffer, encoding='utf-8-sig', newline='')\n"
                           u"print(json.dumps([row[2] for row in csv.reader(f)]))\n"_s});
    python.write(csv);
    python.closeWriteChannel();
    QVERIFY(python.waitForFinished(30000));
    // The column <c2>: every name stays apart from every other.
    QCOMPARE(QJsonDocument::fromJson(python.readAllStandardOutput()).toVariant().toStringList(),
             (QStringList{u"<c2>"_s, u"a,\"b\".jpg"_s, u"'=HYPERLINK(\"http://example.org\",\"click\").txt"_s,
                          u"'\r=1.txt"_s, u"caf\\xE9.txt"_s, u"café.txt"_s, u"caf?.txt"_s, u"caf\uFFFD.txt"_s,
                          u"caf\\\\xE9.txt"_s}));
}

void TestRunResults::capturedStreamIsBounded_data()
{
    QTest::addColumn<QList<int>>("pieces"); // sizes of the pieces written, in order
    constexpr int limit = CapturedStream::limit;
    QTest::newRow("the head exactly") << QList<int>{limit};
    QTest::newRow("head and tail, nothing left out") << QList<int>{limit, limit};
    QTest::newRow("one huge piece") << QList<int>{5 * limit + 7};
    QTest::newRow("many small pieces") << QList<int>(4000, 97);
    QTest::newRow("tail pieces larger than the limit") << QList<int>{limit + 1, 3 * limit, 5};
}

void TestRunResults::capturedStreamIsBounded()
{
    QFETCH(QList<int>, pieces);
    // Numbered bytes, so that a byte in the wrong place shows.
    QByteArray all;
    CapturedStream stream;
    for (const int size : pieces) {
        const qsizetype from = all.size();
        while (all.size() < from + size)
            all += char('a' + all.size() % 26);
        stream.append(QByteArrayView(all).sliced(from));
    }
    const qsizetype limit = CapturedStream::limit;
    QCOMPARE(stream.total(), all.size());
    QCOMPARE(stream.head(), all.left(limit));
    QCOMPARE(stream.tail(), all.size() > limit ? all.mid(limit).right(limit) : QByteArray());
    QCOMPARE(stream.omitted(), std::max<qint64>(0, all.size() - 2 * limit));
}

void TestRunResults::outputIsShownReadably_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("utf-8") << u"変換できません: 写真.jpg"_s.toUtf8() << u"変換できません: 写真.jpg"_s;
    QTest::newRow("code page 932") << QByteArray("\x95\xCF\x8A\xB7") << u"変換"_s;
    QTest::newRow("neither") << QByteArray("caf\xE9 \xFF\xFE ok \xE5\x86\x99")
                             << u"caf\\xE9 \\xFF\\xFE ok 写"_s;
}

void TestRunResults::outputIsShownReadably()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QCOMPARE(CapturedStream::display(bytes), shown);
}

QTEST_GUILESS_MAIN(TestRunResults)
#include "tst_runresults.moc"
