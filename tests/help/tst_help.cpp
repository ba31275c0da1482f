#include "Fakes.h"
#include "help/HelpCommand.h"
#include "help/UrlOpener.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
struct FakeUrlOpener final : UrlOpener {
    QList<QUrl> opened;
    bool openUrl(const QUrl& url) override { return opened << url, true; }
};
} // namespace

class TestHelp : public QObject
{
    Q_OBJECT
private slots:
    void helpFile_data();
    void helpFile();
};

void TestHelp::helpFile_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("opened"); // empty: nothing is asked of the desktop
    const QString chm = u"/home/u/.local/share/Lomvato/help.chm"_s, html = u"/opt/lomvato/help.html"_s;
    QTest::addRow("help.chm in the program folder") << QStringList{chm, html} << chm;
    QTest::addRow("help.chm beside the executable is not looked for")
        << QStringList{u"/opt/lomvato/help.chm"_s, html} << html;
    QTest::addRow("neither") << QStringList{} << QString();
}

void TestHelp::helpFile()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, opened);
    FakeFileSystem files;
    files.files = QSet<QString>(existing.begin(), existing.end());
    FakeUrlOpener opener;
    HelpCommand(files, opener, u"/home/u/.local/share/Lomvato"_s, u"/opt/lomvato"_s).openHelp();
    QCOMPARE(opener.opened, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl::fromLocalFile(opened)});
}

QTEST_GUILESS_MAIN(TestHelp)
#include "tst_help.moc"
