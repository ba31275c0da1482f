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
    void cleanup();
    void signalDuringStartUpMessage_data();
    void signalDuringStartUpMessage();

private:
    QProcess* start();
    bool locked() const { return QFile::exists(m_dir->filePath(u"lomvato.lock"_s)); }
    QByteArray read(const QString& name) const;
    // Sends the signal and tells whether the process ended within five seconds.
    static bool terminate(QProcess* process, int signal)
    {
        ::kill(static_cast<pid_t>(process->processId()), signal);
        return process->waitForFinished(5000);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    const QByteArray m_logged =
        TextCodec::encode(u"12/26/06 09:05:03\tLomvato起動開始\r\n\r\n古い記録\r\n"_s);
};

QByteArray TestLifecycle::read(const QString& name) const
{
    QFile f(m_dir->filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestLifecycle::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QFile::copy(QStringLiteral(LOMVATO_EXE), m_dir->filePath(u"lomvato"_s)));
    QFile log(m_dir->filePath(u"log.ini"_s));
    QVERIFY(log.open(QIODevice::WriteOnly) && log.write(m_logged) == m_logged.size());
}

void TestLifecycle::cleanup()
{
    for (const auto& p : m_processes) {
        p->kill();
        p->waitForFinished();
    }
    m_processes.clear();
}

QProcess* TestLifecycle::start()
{
    auto& process = m_processes.emplace_back(std::make_unique<QProcess>());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    // Nothing here may reach a real power-off, whatever happens.
    env.insert(u"DBUS_SYSTEM_BUS_ADDRESS"_s, u"unix:path=/nonexistent"_s);
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(m_dir->path());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(m_dir->filePath(u"lomvato"_s), {});
    return process.get();
}

void TestLifecycle::signalDuringStartUpMessage_data()
{
    // Each stops start-up in a message box before the log has been loaded: a template that fails, or another
    // Lomvato that runs in the folder.
    QTest::addColumn<QByteArray>("lvt"); // empty: the factory template
    QTest::addColumn<bool>("second");
    QTest::addRow("damaged template") << QByteArray("/check1.Value\r\nx\r\n") << false;
    QTest::addRow("missing program") << QByteArray(
                                            "/listview2.listitems.Text\r\n<App1>|tool|/nonexistent/tool\r\n")
                                     << false;
    QTest::addRow("second instance") << QByteArray() << true;
}

void TestLifecycle::signalDuringStartUpMessage()
{
    QFETCH(QByteArray, lvt);
    QFETCH(bool, second);
    const QString lvtPath = m_dir->filePath(u"default.lvt"_s);
    QFile lvtFile(lvtPath);
    QVERIFY(lvt.isEmpty() ? TemplateFile::writeFactoryTemplate(lvtPath)
                          : lvtFile.open(QIODevice::WriteOnly) && lvtFile.write(lvt) == lvt.size());
    lvtFile.close();
    lvt = read(u"default.lvt"_s);
    QProcess* first = start();
    QTRY_VERIFY_WITH_TIMEOUT(locked(), 10000);
    QProcess* stopped = second ? start() : first;
    QTest::qWait(1000); // into the message box
    QVERIFY(terminate(stopped, SIGTERM));
    QCOMPARE(read(u"log.ini"_s), m_logged);
    QCOMPARE(read(u"default.lvt"_s), lvt);
    QCOMPARE(locked(), second); // the running one's lock stays
    // The next start is not refused: it takes the lock. The running one closes normally, on Ctrl+C in its
    // terminal too: it stores its files, its log starting with this start.
    QProcess* next = second ? first : start();
    QTRY_VERIFY_WITH_TIMEOUT(locked(), 10000);
    QVERIFY(terminate(next, SIGINT));
    QVERIFY(!locked());
    if (!second) {
        QCOMPARE(read(u"log.ini"_s), m_logged);
        return;
    }
    QVERIFY(TextCodec::decode(read(u"log.ini"_s)).contains(u"Lomvato起動開始\r\n\r\n12/26/06"_s));
}

QTEST_GUILESS_MAIN(TestLifecycle)
#include "tst_lifecycle.moc"
