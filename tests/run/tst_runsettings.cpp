#include "run/RunSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestRunSettings : public QObject
{
    Q_OBJECT
private slots:
    void load_data();
    void load();
};

void TestRunSettings::load_data()
{
    // The file's bytes; "-" for no file, "<zero>" for a link to /dev/zero, which would be read without end.
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("fast");
    QTest::addColumn<int>("parallel");
    QTest::addColumn<int>("kept");
    QTest::addColumn<QString>("problem");
    QTest::newRow("missing") << "-"_ba << false << 1 << 20 << QString();
    QTest::newRow("written") << "[Run]\nNoticeEndAtOnce=true\nJobsAtATime=2\n"_ba << true << 2 << 20
                             << QString();
    QTest::newRow("most runs kept") << "[Run]\nKeptRuns=1000\n"_ba << false << 1 << 1000 << QString();
    QTest::newRow("garbage") << "\xff\xfe\x00[[[=\n\x01"_ba << false << 1 << 20 << QString();
    QTest::newRow("out of range") << "[Run]\nNoticeEndAtOnce=yes\nJobsAtATime=100000\nKeptRuns=0\n"_ba
                                  << false << 1 << 20 << QString();
    QTest::newRow("link to /dev/zero")
        << "<zero>"_ba << false << 1 << 20 << u"通常のファイルではありません"_s;
    QTest::newRow("too large") << RunSettings{true, 2, 5}.text() + QByteArray(1024 * 1024, '\n') << false << 1
                               << 20 << u"ファイルが大きすぎます"_s;
}

void TestRunSettings::load()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, fast);
    QFETCH(int, parallel);
    QFETCH(int, kept);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    const QString path = RunSettings::fileName(dir.path());
    if (file == "<zero>") {
        QVERIFY(QFile::link(u"/dev/zero"_s, path));
    } else if (file != "-") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(file) == file.size());
    }
    QString said;
    const RunSettings s = RunSettings::load(dir.path(), &said);
    QCOMPARE(std::tuple(s.fast, s.parallel, s.keptRuns), std::tuple(fast, parallel, kept));
    QCOMPARE(said, problem);
    // Saved settings read back, over whatever file was there.
    if (problem.isEmpty()) {
        QVERIFY((RunSettings{!fast, 2, 7}.save(dir.path())));
        const RunSettings saved = RunSettings::load(dir.path());
        QCOMPARE(std::tuple(saved.fast, saved.parallel, saved.keptRuns), std::tuple(!fast, 2, 7));
    }
}

QTEST_GUILESS_MAIN(TestRunSettings)
#include "tst_runsettings.moc"
