#include "core/ActivityLog.h"
#include "core/WorkSettings.h"
#include "store/LogFile.h"
#include "store/TextCodec.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
QByteArray readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

class TestLogFile : public QObject
{
    Q_OBJECT
private slots:
    void loadedText_data();
    void loadedText();
    void limitOfOneKeepsNewest1024();
    void clearedLogWritesOneLineBreak();
    void consecutiveStartsAreSeparated();
    void textOutsideCodePageSurvives_data();
    void textOutsideCodePageSurvives();
    void missingFileLeavesLog();
    void sliderSetsLabel();
};

void TestLogFile::loadedText_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("text");
    QTest::addRow("empty file") << QString() << 1024 << QString();
    QTest::addRow("two lines") << u"A\r\nB\r\n"_s << 1024 << u"\r\nA\r\nB"_s;
    QTest::addRow("one line break") << u"\r\n"_s << 1024 << u"\r\n"_s;
    QTest::addRow("no last line end") << u"A\r\nB"_s << 1024 << u"\r\nA\r\nB"_s;
    QTest::addRow("lf lines") << u"A\nB\n"_s << 1024 << u"\r\nA\r\nB"_s;
    QTest::addRow("empty lines kept") << u"A\r\n\r\nB\r\n"_s << 1024 << u"\r\nA\r\n\r\nB"_s;
    QTest::addRow("cut inside a line") << u"ABCDEF\r\nG\r\n"_s << 5 << u"\r\nABC"_s;
    QTest::addRow("cut inside a line break") << u"AB\r\nC\r\n"_s << 5 << u"\r\nAB\r"_s;
    QTest::addRow("exactly the limit") << u"ABC\r\n"_s << 5 << u"\r\nABC"_s;
    QTest::addRow("no limit") << u"ABCDEF\r\n"_s << 0 << u"\r\nABCDEF"_s;
    QTest::addRow("cut keeps a surrogate pair whole") << u"A😀B\r\n"_s << 4 << u"\r\nA"_s;
    QTest::addRow("cut after a surrogate pair") << u"A😀B\r\n"_s << 5 << u"\r\nA😀"_s;
}

void TestLogFile::loadedText()
{
    QFETCH(QString, file);
    QFETCH(int, maxLength);
    QFETCH(QString, text);
    QCOMPARE(LogFile::loadedText(file, maxLength), text);
}

void TestLogFile::limitOfOneKeepsNewest1024()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"log.ini"_s);
    QString file;
    for (int i = 0; file.size() < 5000; ++i)
        file += u"%1 行目のログ\r\n"_s.arg(i, 4, 10, QLatin1Char('0'));
    file.truncate(5000);
    QVERIFY(TextCodec::writeFile(path, file, nullptr));

    ActivityLog log;
    WorkSettings settings;
    settings.label6 = u"1"_s;
    LogFile logFile(log, settings);
    QCOMPARE(logFile.maxLength(), 1024);
    QVERIFY(logFile.logInPut(path));
    QCOMPARE(log.length(), 1024);
    QCOMPARE(log.text(), QString(u"\r\n"_s + file).left(1024));

    // The limit applies only to loading.
    log.prepend(QString(3000, u'x'));
    QCOMPARE(log.length(), 4024);
}

void TestLogFile::clearedLogWritesOneLineBreak()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"log.ini"_s);
    ActivityLog log;
    WorkSettings settings;
    LogFile logFile(log, settings);
    log.setText(u"old entries"_s);
    logFile.Command3_Click();
    QVERIFY(log.isEmpty());
    QVERIFY(logFile.logOutPut(path));
    QCOMPARE(readBytes(path), QByteArray("\r\n"));
}

void TestLogFile::consecutiveStartsAreSeparated()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"log.ini"_s);
    const QDateTime first(QDate(2026, 12, 6), QTime(9, 5, 3));
    const QDateTime second(QDate(2026, 12, 7), QTime(10, 0, 0));
    WorkSettings settings;

    const auto start = [&](const QDateTime& when) {
        ActivityLog log;
        LogFile logFile(log, settings);
        logFile.logInPut(path);
        log.prepend(ActivityLog::timed(when, u"Lomvato起動開始"_s, 1));
        log.prependSeparator();
        QVERIFY(logFile.logOutPut(path));
    };
    start(first);
    start(second);

    const QString stars(60, u'*');
    const QStringList expected = {
        stars, QString(), u"12/26/07 10:00:00\tLomvato起動開始"_s, QString(),
        stars, QString(), u"12/26/06 09:05:03\tLomvato起動開始"_s, QString(),
    };
    QCOMPARE(TextCodec::splitLines(TextCodec::decode(readBytes(path))), expected);
}

void TestLogFile::textOutsideCodePageSurvives_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("utf8");
    QTest::addRow("japanese") << u"変換完了\r\n<App1> \"a b.jpg\""_s << false;
    QTest::addRow("emoji") << u"写真😀.jpg を送りました"_s << true;
    QTest::addRow("korean") << u"사진.jpg"_s << true;
}

void TestLogFile::textOutsideCodePageSurvives()
{
    QFETCH(QString, text);
    QFETCH(bool, utf8);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"log.ini"_s);
    ActivityLog log;
    WorkSettings settings;
    LogFile logFile(log, settings);
    log.setText(text);
    QVERIFY(logFile.logOutPut(path));
    QCOMPARE(readBytes(path).startsWith("\xEF\xBB\xBF"), utf8);

    ActivityLog back;
    LogFile backFile(back, settings);
    QVERIFY(backFile.logInPut(path));
    QCOMPARE(back.text(), u"\r\n"_s + text);
}

void TestLogFile::missingFileLeavesLog()
{
    QTemporaryDir dir;
    ActivityLog log;
    WorkSettings settings;
    settings.label6 = u"1"_s;
    LogFile logFile(log, settings);
    log.setText(u"kept"_s);
    QVERIFY(!logFile.logInPut(dir.filePath(u"log.ini"_s)));
    QCOMPARE(log.text(), u"kept"_s);
    // Unbounded afterwards: nothing falls out at the bottom.
    log.prepend(QString(2000, u'x'));
    QVERIFY(log.text().endsWith(u"kept"_s));
}

void TestLogFile::sliderSetsLabel()
{
    ActivityLog log;
    WorkSettings settings;
    int changes = 0;
    connect(&settings, &WorkSettings::changed, this, [&changes] { ++changes; });
    LogFile logFile(log, settings);
    logFile.Slider1_Change(8);
    QCOMPARE(settings.label6, u"8"_s);
    QCOMPARE(settings.slider1, 8);
    QCOMPARE(logFile.maxLength(), 8192);
    QCOMPARE(changes, 1);
}

QTEST_GUILESS_MAIN(TestLogFile)
#include "tst_logfile.moc"
