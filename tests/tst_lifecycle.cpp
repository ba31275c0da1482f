#include "store/TemplateFile.h"
#include "store/TextCodec.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

// The built program in a folder of its own, ended by a signal at awkward moments: what it leaves behind.
class TestLifecycle : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_processes.clear(); } // each killed and waited for
    void signalDuringStartUpMessage_data();
    void signalDuringStartUpMessage();

private:
    QProcess* start()
    {
        auto& process = m_processes.emplace_back(std::make_unique<QProcess>());
        process->setWorkingDirectory(m_dir->path());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(m_dir->filePath(u"lomvato"_s), {});
        return process.get();
    }
    bool locked() const { return QFile::exists(m_dir->filePath(u"lomvato.lock"_s)); }
    QByteArray read(const QString& name) const
    {
        QByteArray bytes;
        TextCodec::readBytes(m_dir->filePath(name), &bytes, nullptr);
        return bytes;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    const QByteArray m_logged =
        TextCodec::encode(u"12/26/06 09:05:03\tLomvato起動開始\r\n\r\n古い記録\r\n"_s);
};

void TestLifecycle::init()
{
    // Nothing here may reach a real power-off, whatever happens.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QFile::copy(QStringLiteral(LOMVATO_EXE), m_dir->filePath(u"lomvato"_s)));
    QVERIFY(TextCodec::writeBytes(m_dir->filePath(u"log.ini"_s), m_logged, nullptr));
}

// Each stops start-up in a message box before the log has been loaded.
void TestLifecycle::signalDuringStartUpMessage_data()
{
    QTest::addColumn<QByteArray>("lvt"); // empty: the factory template, and a second instance started
    QTest::addRow("damaged template") << "/check1.Value\r\nx\r\n"_ba;
    QTest::addRow("missing program") << "/listview2.listitems.Text\r\n<App1>|tool|/nonexistent/tool\r\n"_ba;
    QTest::addRow("second instance") << QByteArray();
}

void TestLifecycle::signalDuringStartUpMessage()
{
    QFETCH(QByteArray, lvt);
    const bool second = lvt.isEmpty();
    const QString lvtPath = m_dir->filePath(u"default.lvt"_s);
    QVERIFY(second ? TemplateFile::writeFactoryTemplate(lvtPath)
                   : TextCodec::writeBytes(lvtPath, lvt, nullptr));
    lvt = read(u"default.lvt"_s);
    QProcess* first = start();
    QTRY_VERIFY_WITH_TIMEOUT(locked(), 10000);
    QProcess* stopped = second ? start() : first;
    QTest::qWait(1000); // into the message box
    ::kill(static_cast<pid_t>(stopped->processId()), SIGTERM);
    QVERIFY(stopped->waitForFinished(5000));
    QCOMPARE(read(u"log.ini"_s), m_logged);
    QCOMPARE(read(u"default.lvt"_s), lvt);
    QCOMPARE(locked(), second); // the running one's lock stays
    // The next start takes the lock. The running one closes normally on Ctrl+C too, storing its log.
    QProcess* next = second ? first : start();
    QTRY_VERIFY_WITH_TIMEOUT(locked(), 10000);
    ::kill(static_cast<pid_t>(next->processId()), SIGINT);
    QVERIFY(next->waitForFinished(5000));
    QVERIFY(!locked());
    const QByteArray log = read(u"log.ini"_s);
    QVERIFY(second ? TextCodec::decode(log).contains(u"Lomvato起動開始\r\n\r\n12/26/06"_s) : log == m_logged);
}

QTEST_GUILESS_MAIN(TestLifecycle)
#include "tst_lifecycle.moc"
