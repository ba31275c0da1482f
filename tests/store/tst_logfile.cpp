#include "core/ActivityLog.h"
#include "core/WorkSettings.h"
#include "store/LogFile.h"
#include "store/TextCodec.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
struct Fixture {
    QTemporaryDir dir;
    QString path = dir.filePath(u"log.ini"_s);
    ActivityLog log;
    WorkSettings settings;
    LogFile file{log, settings};
    QString written() const
    {
        QString text;
        return TextCodec::readFile(path, &text, nullptr) ? text : u"(unreadable)"_s;
    }
};
} // namespace

class TestLogFile : public QObject
{
    Q_OBJECT
private slots:
    void loadedText_data();
    void loadedText();
    void load_data();
    void load();
    void clearedLogWritesOneLineBreak();
    void consecutiveStartsAreSeparated();
    void sliderSetsLabel();
};

void TestLogFile::loadedText_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("text");
    QTest::addRow("one line break") << u"\r\n"_s << 1024 << u"\r\n"_s;
    QTest::addRow("lf lines, no last end") << u"A\nB"_s << 1024 << u"\r\nA\r\nB"_s;
    QTest::addRow("empty lines kept") << u"A\r\n\r\nB\r\n"_s << 1024 << u"\r\nA\r\n\r\nB"_s;
    QTest::addRow("cut inside a line break") << u"AB\r\nC\r\n"_s << 5 << u"\r\nAB\r"_s;
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

void TestLogFile::load_data()
{
    QTest::addColumn<QString>("logged"); // what the log held when it was written; null: no file
    QTest::addColumn<QString>("label6");
    QTest::addColumn<QString>("loaded");
    QString big; // 5000 characters in the file, with the line break logOutPut adds
    for (int i = 0; big.size() < 4998; ++i)
        big += u"%1 行目のログ\r\n"_s.arg(i, 4, 10, QLatin1Char('0'));
    big.truncate(4998);
    QTest::addRow("limit 1 keeps the newest 1024") << big << u"1"_s << QString(u"\r\n"_s + big).left(1024);
    const QString wide = u"写真😀〜①.jpg\r\n사진"_s; // beyond code page 932: written as UTF-8
    QTest::addRow("text outside code page 932") << wide << u"32"_s << u"\r\n"_s + wide;
    QTest::addRow("missing file leaves the log") << QString() << u"1"_s << u"kept"_s;
}

void TestLogFile::load()
{
    QFETCH(QString, logged);
    QFETCH(QString, label6);
    QFETCH(QString, loaded);
    Fixture f;
    f.settings.label6 = label6;
    f.log.setText(logged.isNull() ? u"kept"_s : logged);
    if (!logged.isNull()) {
        QVERIFY(f.file.logOutPut(f.path));
        f.log.clear();
    }
    QCOMPARE(f.file.logInPut(f.path), !logged.isNull());
    QCOMPARE(f.log.text(), loaded);
    f.log.prepend(QString(3000, u'x')); // the limit applies only to loading
    QCOMPARE(f.log.length(), loaded.length() + 3000);
}

void TestLogFile::clearedLogWritesOneLineBreak()
{
    Fixture f;
    f.log.setText(u"old entries"_s);
    f.file.Command3_Click();
    QVERIFY(f.file.logOutPut(f.path));
    QCOMPARE(f.written(), u"\r\n"_s);
}

void TestLogFile::consecutiveStartsAreSeparated()
{
    Fixture f;
    for (const QDateTime& when :
         {QDateTime(QDate(2026, 12, 6), QTime(9, 5, 3)), QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0))}) {
        ActivityLog log;
        LogFile logFile(log, f.settings);
        logFile.logInPut(f.path);
        log.prepend(ActivityLog::timed(when, u"Lomvato起動開始"_s, 1));
        log.prependSeparator();
        QVERIFY(logFile.logOutPut(f.path));
    }
    const QString stars(60, u'*');
    QCOMPARE(TextCodec::splitLines(f.written()), (QStringList{stars,
                                                              {},
                                                              u"12/26/07 10:00:00\tLomvato起動開始"_s,
                                                              {},
                                                              stars,
                                                              {},
                                                              u"12/26/06 09:05:03\tLomvato起動開始"_s,
                                                              {}}));
}

void TestLogFile::sliderSetsLabel()
{
    Fixture f;
    int changes = 0;
    connect(&f.settings, &WorkSettings::changed, this, [&changes] { ++changes; });
    f.file.Slider1_Change(8);
    QCOMPARE(f.settings.label6, u"8"_s);
    QCOMPARE(f.file.maxLength(), 8192);
    QCOMPARE(changes, 1);
}

QTEST_GUILESS_MAIN(TestLogFile)
#include "tst_logfile.moc"
