#include "store/TemplateFile.h"
#include "store/TextCodec.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

namespace
{
QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool waitFor(const std::function<bool()>& condition, int ms = 10000)
{
    const QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(50);
    }
    return true;
}
} // namespace

// The built program in a folder of its own, ended by a signal at awkward moments: what it leaves behind.
class TestLifecycle : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void signalDuringStartUpMessage_data();
    void signalDuringStartUpMessage();
    void refusedSecondInstanceWritesNothing();

private:
    QProcess* start();
    bool locked() const { return QFile::exists(m_dir->filePath(u"lomvato.lock"_s)); }
    // Sends SIGTERM and tells whether the process ended within five seconds.
    static bool terminate(QProcess* process);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    QString m_log, m_template;
    const QByteArray m_logged =
        TextCodec::encode(u"12/26/06 09:05:03\tLomvato起動開始\r\n\r\n古い記録\r\n"_s);
};

void TestLifecycle::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    const QString exe = m_dir->filePath(u"lomvato"_s);
    QVERIFY(QFile::copy(QStringLiteral(LOMVATO_EXE), exe));
    m_log = m_dir->filePath(u"log.ini"_s);
    m_template = m_dir->filePath(u"default.lvt"_s);
    QVERIFY(writeBytes(m_log, m_logged));
}

void TestLifecycle::cleanup()
{
    for (const auto& p : m_processes) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished();
        }
    }
    m_processes.clear();
}

QProcess* TestLifecycle::start()
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    // Nothing here may reach a real power-off, whatever happens.
    env.insert(u"DBUS_SYSTEM_BUS_ADDRESS"_s, u"unix:path=/nonexistent"_s);
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(m_dir->path());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(m_dir->filePath(u"lomvato"_s), {});
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

bool TestLifecycle::terminate(QProcess* process)
{
    ::kill(static_cast<pid_t>(process->processId()), SIGTERM);
    return process->waitForFinished(5000);
}

void TestLifecycle::signalDuringStartUpMessage_data()
{
    // Each template makes start-up stop in a message box before the log has been loaded.
    QTest::addColumn<QByteArray>("lvt");
    QTest::addRow("damaged template") << QByteArray("/check1.Value\r\nx\r\n");
    QTest::addRow("missing program") << QByteArray(
        "/listview2.listitems.Text\r\n<App1>|tool|/nonexistent/tool\r\n");
}

void TestLifecycle::signalDuringStartUpMessage()
{
    QFETCH(QByteArray, lvt);
    QVERIFY(writeBytes(m_template, lvt));
    QProcess* first = start();
    QVERIFY(waitFor([this] { return locked(); }));
    QTest::qWait(500); // into the message box
    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY(terminate(first));
    QCOMPARE(readBytes(m_log), m_logged);
    QCOMPARE(readBytes(m_template), lvt);
    QVERIFY(!locked());
    // The next start is not refused: it takes the lock.
    QProcess* next = start();
    QVERIFY(waitFor([this] { return locked(); }));
    QVERIFY(terminate(next));
    QCOMPARE(readBytes(m_log), m_logged);
}

void TestLifecycle::refusedSecondInstanceWritesNothing()
{
    QVERIFY(TemplateFile::writeFactoryTemplate(m_template));
    const QByteArray lvt = readBytes(m_template);
    QProcess* first = start();
    QVERIFY(waitFor([this] { return locked(); }));
    QProcess* second = start();
    QTest::qWait(1000); // into "２重起動できません"
    QCOMPARE(second->state(), QProcess::Running);
    QVERIFY(terminate(second));
    QCOMPARE(readBytes(m_log), m_logged);
    QCOMPARE(readBytes(m_template), lvt);
    QVERIFY(locked());
    // The running one closes normally: its log now starts with this start.
    QVERIFY(terminate(first));
    QVERIFY(TextCodec::decode(readBytes(m_log)).contains(u"Lomvato起動開始\r\n\r\n12/26/06"_s));
    QVERIFY(!locked());
}

QTEST_GUILESS_MAIN(TestLifecycle)
#include "tst_lifecycle.moc"
