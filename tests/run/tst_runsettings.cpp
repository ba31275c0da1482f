#include "platform/RegularFile.h"
#include "run/RunSettings.h"

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
    QTest::addColumn<QByteArray>("file"); // "-": no file
    QTest::addColumn<RunSettings>("read");
    QTest::addColumn<QString>("problem");
    const RunSettings defaults;
    QTest::newRow("missing") << "-"_ba << defaults << QString();
    QTest::newRow("written, most runs kept")
        << "[Run]\nNoticeEndAtOnce=true\nJobsAtATime=2\nKeptRuns=1000\n"_ba << RunSettings{true, 2, 1000}
        << QString();
    QTest::newRow("out of range") << "[Run]\nNoticeEndAtOnce=yes\nJobsAtATime=100000\nKeptRuns=0\n"_ba
                                  << defaults << QString();
    QTest::newRow("too large") << RunSettings{true, 2, 5}.text() + QByteArray(1024 * 1024, '\n') << defaults
                               << u"ファイルが大きすぎます"_s;
}

void TestRunSettings::load()
{
    QFETCH(QByteArray, file);
    QFETCH(RunSettings, read);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    if (file != "-")
        QVERIFY(RegularFile::replace(RunSettings::fileName(dir.path()), file, nullptr));
    QString said;
    QCOMPARE(RunSettings::load(dir.path(), &said).text(), read.text());
    QCOMPARE(said, problem);
    // Saved settings read back, over whatever file was there.
    const RunSettings saved{!read.fast, 2, 7};
    QVERIFY(saved.save(dir.path()));
    QCOMPARE(RunSettings::load(dir.path()).text(), saved.text());
}

QTEST_GUILESS_MAIN(TestRunSettings)
#include "tst_runsettings.moc"
