#include "platform/NativeName.h"
#include "run/CsvText.h"
#include "run/RunResults.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestCsv : public QObject
{
    Q_OBJECT
private slots:
    void cell_data();
    void cell();
    void spreadsheetReadsOnlyData();
};

void TestCsv::cell_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cell");
    QTest::addRow("plain") << u"写真 1.jpg"_s << u"写真 1.jpg"_s;
    QTest::addRow("=") << u"=1+2.txt"_s << u"'=1+2.txt"_s;
    QTest::addRow("+") << u"+1+1.txt"_s << u"'+1+1.txt"_s;
    QTest::addRow("-") << u"-2+3.txt"_s << u"'-2+3.txt"_s;
    QTest::addRow("@") << u"@SUM(1).txt"_s << u"'@SUM(1).txt"_s;
    QTest::addRow("tab") << u"\tx"_s << u"'\tx"_s;
    QTest::addRow("carriage return, quoted as well") << u"\rx"_s << u"\"'\rx\""_s;
    QTest::addRow("formula with quotes and a comma")
        << u"=HYPERLINK(\"http://x\",\"click\").txt"_s
        << u"\"'=HYPERLINK(\"\"http://x\"\",\"\"click\"\").txt\""_s;
    QTest::addRow("formula character later") << u"a=b-c"_s << u"a=b-c"_s;
    QTest::addRow("latin-1 byte") << NativeName::decode("caf\xe9.txt") << u"caf\\xE9.txt"_s;
    QTest::addRow("a byte beside a backslash") << NativeName::decode("a\\b\xff") << u"a\\\\b\\xFF"_s;
    QTest::addRow("a real \\xE9 is told from the byte") << u"caf\\xE9.txt"_s << u"caf\\\\xE9.txt"_s;
    QTest::addRow("lower-case hex counts too") << u"\\xe9"_s << u"\\\\xe9"_s;
    QTest::addRow("other backslashes stay") << u"a\\b\\x"_s << u"a\\b\\x"_s;
    // U+10080 ends in the surrogate U+DC80: half of a character, not a byte.
    QTest::addRow("surrogate pair") << u"\U00010080"_s << u"\U00010080"_s;
}

void TestCsv::cell()
{
    QFETCH(QString, text);
    QFETCH(QString, cell);
    QCOMPARE(CsvText::cell(text), cell);
}

void TestCsv::spreadsheetReadsOnlyData()
{
    const QStringList names{u"=1+2.txt"_s,
                            u"+1+1.txt"_s,
                            u"-2+3.txt"_s,
                            u"@SUM(1).txt"_s,
                            u"=HYPERLINK(\"http://example.org\",\"click\").txt"_s,
                            u"\t=1.txt"_s,
                            u"\r=1.txt"_s,
                            NativeName::decode("caf\xe9.txt"),
                            u"café.txt"_s,
                            u"caf?.txt"_s,
                            u"caf\uFFFD.txt"_s,
                            u"caf\\xE9.txt"_s};
    RunResults results;
    for (const QString& name : names) {
        RunResults::Job job;
        job.key = u"<App1>"_s;
        job.file = name;
        job.path = u"/d/"_s + name;
        results.finish(results.add(job), RunResults::State::Exited, 0, 10);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(u"results.csv"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(results.toCsv());
    file.close();

    // Read back as a spreadsheet reads a CSV file: the byte-order mark taken, quotes and CR LF undone.
    QProcess python;
    python.start(u"python3"_s, {u"-c"_s,
                                u"import csv, json, sys\n"
                                u"with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                                u"    print(json.dumps(list(csv.reader(f))))\n"_s,
                                path});
    QVERIFY(python.waitForFinished(30000));
    QCOMPARE(python.exitCode(), 0);
    const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    QCOMPARE(rows.size(), names.size() + 1);
    QStringList files, paths;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QJsonArray row = rows[r].toArray();
        for (const auto& cell : row) {
            const QString text = cell.toString();
            QVERIFY2(text.isEmpty() || !u"=+-@\t\r"_s.contains(text.front()), qPrintable(text));
        }
        files << row[RunResults::File].toString();
        paths << row[RunResults::Path].toString();
    }
    // The formula names read as their text after the mark; every name stays apart from every other.
    QCOMPARE(files.first(), u"'=1+2.txt"_s);
    QCOMPARE(files[4], u"'=HYPERLINK(\"http://example.org\",\"click\").txt"_s);
    QCOMPARE(files[7], u"caf\\xE9.txt"_s);
    QCOMPARE(QSet<QString>(files.begin(), files.end()).size(), names.size());
    QCOMPARE(QSet<QString>(paths.begin(), paths.end()).size(), names.size());
}

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"
