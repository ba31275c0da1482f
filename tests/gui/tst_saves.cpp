#include "DiskFaults.h"
#include "FakeServices.h"
#include "gui/PreviewWindow.h"
#include "gui/ResultsTab.h"
#include "run/RunSettings.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <tuple>

using namespace Qt::StringLiterals;

namespace
{
// The results CSV, the job file and lomvato.ini: each saved when the user asks.
enum class Save { Csv, Jobs, Settings };
} // namespace

class TestSaves : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void settingsThatAreNoFileStartWithTheDefaults();

private:
    void openForm();

    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_form;
};

void TestSaves::init()
{
    m_fakes = std::make_unique<FakeServices>();
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestSaves::cleanup()
{
    m_form.reset();
}

void TestSaves::openForm()
{
    m_form = std::make_unique<MainWindow>(m_fakes->in(m_dir->path()));
}

void TestSaves::failedSaveKeepsTheOldFile_data()
{
    QTest::addColumn<Save>("save");
    QTest::addColumn<DiskFault>("fault");
    QTest::addColumn<QString>("reason"); // the system's own words
    const std::pair<const char*, Save> saves[] = {
        {"CSV", Save::Csv}, {"job file", Save::Jobs}, {"lomvato.ini", Save::Settings}};
    const std::tuple<const char*, DiskFault, QString> faults[] = {
        {"file size limit", DiskFault::FileSizeLimit, u"File too large"_s},
        {"full disk", DiskFault::FullDisk, u"No space left on device"_s},
        {"read-only folder", DiskFault::ReadOnly, u"Read-only file system"_s}};
    for (const auto& [saveName, save] : saves)
        for (const auto& [faultName, fault, reason] : faults)
            QTest::addRow("%s, %s", saveName, faultName) << save << fault << reason;
}

void TestSaves::failedSaveKeepsTheOldFile()
{
    QFETCH(Save, save);
    QFETCH(DiskFault, fault);
    QFETCH(QString, reason);
    const QString path = save == Save::Settings
                             ? RunSettings::fileName(m_dir->path())
                             : m_dir->filePath(save == Save::Csv ? u"results.csv"_s : u"jobs.sh"_s);
    const QByteArray old = RunSettings{false, 1}.text();
    QFile oldFile(path);
    QVERIFY(oldFile.open(QIODevice::WriteOnly) && oldFile.write(old) == old.size());
    oldFile.close();
    openForm();
    WorkTable& table = m_form->table();
    table.apps.appendRow({u"<App1>"_s, u"conv"_s, u"/opt/conv"_s});
    m_fakes->files.files.insert(u"/opt/conv"_s);
    table.files.appendRows({{u""_s, u""_s, u"a.jpg"_s, u""_s, u""_s, u"/p/a.jpg"_s}});
    table.batch.appendRow({u"1"_s, u"conv"_s, u"<App1> \"<c5>\" --and-a-long-option"_s, u"/opt/conv"_s});
    RunResults::Job job;
    job.file = u"a.jpg"_s;
    m_form->engine().results().add(job);
    m_fakes->dialogs.files.push_back(path);
    const QStringList before = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);

    // Each check a bit of the child's exit code: 0 when all hold.
    const int code = withDiskFault(fault, m_dir->path(), [&] {
        if (save == Save::Csv) {
            m_form->findChild<ResultsTab*>()->saveCsv();
        } else if (save == Save::Jobs) {
            m_form->findChild<QPushButton*>(u"previewButton"_s)->click();
            auto* exportButton = m_form->findChild<PreviewWindow*>()->findChild<QPushButton*>(u"Export"_s);
            exportButton->click();
            if (!QTest::qWaitFor([&] { return exportButton->isEnabled(); }, 10000))
                return 64;
        } else {
            m_form->findChild<QCheckBox*>(u"FastPace"_s)->click();
        }
        QFile after(path);
        const bool kept = after.open(QIODevice::ReadOnly) && after.readAll() == old;
        QStringList left = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(u".filler"_s);
        const bool named = m_fakes->dialogs.shown.size() == 1 &&
                           m_fakes->dialogs.shown[0].text.startsWith(u"7 : "_s + reason) &&
                           m_fakes->dialogs.shown[0].text.endsWith(path + u"を保存できませんでした"_s);
        return (named ? 0 : 1) | (kept ? 0 : 2) | (left == before ? 0 : 4);
    });
    if (code == faultUnavailable)
        QSKIP("this machine does not allow the fault");
    QCOMPARE(code, 0);
}

void TestSaves::settingsThatAreNoFileStartWithTheDefaults()
{
    // A FIFO would hang the start before any window appears, were it opened as a file.
    const QString path = RunSettings::fileName(m_dir->path());
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    openForm();
    QVERIFY(!m_form->findChild<QCheckBox*>(u"FastPace"_s)->isChecked());
    QCOMPARE(m_form->findChild<QSpinBox*>(u"JobsAtOnce"_s)->value(), 1);
    const QString status = m_form->findChild<QLabel*>(u"statusText"_s)->text();
    QVERIFY2(status.startsWith(path) && status.contains(u"通常のファイルではありません"_s),
             qPrintable(status));
    QVERIFY(m_fakes->dialogs.shown.isEmpty());

    // The FIFO is not replaced either: the change holds for this run and is said.
    m_form->findChild<QCheckBox*>(u"FastPace"_s)->click();
    QVERIFY(m_form->findChild<QSpinBox*>(u"JobsAtOnce"_s)->isEnabled());
    QCOMPARE(m_fakes->dialogs.shown.size(), 1);
    QVERIFY(!QFileInfo(path).isFile() && QFileInfo::exists(path));
}

QTEST_MAIN(TestSaves)
#include "tst_saves.moc"
