#include "platform/CommandLine.h"
#include "platform/FileSystem.h"
#include "platform/NativeName.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstdio>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void nativeNameRoundTrip_data();
    void nativeNameRoundTrip();
    void realFileSystem_data();
    void realFileSystem();
    void splitsCommandLines_data();
    void splitsCommandLines();
    void resolvesTheProgram_data();
    void resolvesTheProgram();
};

void TestPlatform::nativeNameRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    // U+FFFD itself stays apart from the invalid byte a lossy decoder would turn into it.
    QTest::addRow("valid") << u"/\U0001F600a\uFFFD"_s.toUtf8() << u"/\U0001F600a\uFFFD"_s;
    QTest::addRow("latin-1") << QByteArray("/caf\xe9.txt") << u"/caf\xdce9.txt"_s;
    // Shift-JIS bytes may form valid UTF-8 in part.
    QTest::addRow("shift-jis") << QByteArray("/\x8e\xca\x90\x5e") << u"/\xdc8e\x0290^"_s;
    QTest::addRow("surrogate, overlong slash, past U+10FFFF, truncated")
        << QByteArray("/\xed\xb3\xa9\xc0\xaf\xf4\x90\x80\x80z\xe3\x81")
        << u"/\xdced\xdcb3\xdca9\xdcc0\xdcaf\xdcf4\xdc90\xdc80\xdc80z\xdce3\xdc81"_s;
}

void TestPlatform::nativeNameRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(NativeName::decode(bytes), text);
    QCOMPARE(NativeName::encode(text), bytes);
    QCOMPARE(NativeName::fromUrl(QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"))), text);
}

void TestPlatform::realFileSystem_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<int>("attributes");
    QTest::addRow("latin-1 file") << QByteArray("caf\xe9.txt") << false << 32;
    QTest::addRow("shift-jis folder") << QByteArray("\x8e\xca\x90\x5e") << true << 16;
    QTest::addRow("hidden file") << QByteArray(".a\xff") << false << 34;
}

void TestPlatform::realFileSystem()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, folder);
    QFETCH(int, attributes);
    const QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.path()) + '/' + name;
    const QString text = NativeName::decode(path);
    const RealFileSystem fs;
    QCOMPARE(QPair(fs.fileExists(text), fs.attributes(text)), QPair(false, -1));
    QCOMPARE(folder ? ::mkdir(path.constData(), 0700) : ::mknod(path.constData(), S_IFREG | 0600, 0), 0);
    // The temporary folder's own clean-up reads names as UTF-8 and would miss some of these.
    const auto remove = qScopeGuard([&] { std::remove(path.constData()); });
    QCOMPARE(QPair(fs.fileExists(text), fs.attributes(text)), QPair(!folder, attributes));
}

void TestPlatform::splitsCommandLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("words");
    QTest::addRow("blank, tab, line breaks")
        << u" a\tb\r\nc\nd "_s << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s};
    QTest::addRow("other spaces are characters")
        << u"写真　1.jpg a\u00a0b c\u2003d"_s << QStringList{u"写真　1.jpg"_s, u"a\u00a0b"_s, u"c\u2003d"_s};
    QTest::addRow("quotes group") << u"\"a b\"c \"x\ny\""_s << QStringList{u"a bc"_s, u"x\ny"_s};
    QTest::addRow("empty quotes") << u"-o \"\" a\"\"b \"\""_s
                                  << QStringList{u"-o"_s, QString(), u"ab"_s, QString()};
    QTest::addRow("literal quote") << u"\"\"\" a\"\"\"b \"c \"\"\" d\""_s
                                   << QStringList{u"\""_s, u"a\"b"_s, u"c \" d"_s};
    QTest::addRow("literal quote, then an open span") << u"\"\"\"\"a b"_s << QStringList{u"\"a b"_s};
}

void TestPlatform::splitsCommandLines()
{
    QFETCH(QString, line);
    QFETCH(QStringList, words);
    const CommandLine split(line);
    QCOMPARE(split.texts(), words);
    // Joining words by their spans keeps their text.
    for (const CommandLine::Word& w : split.words())
        QCOMPARE(CommandLine(line.mid(w.begin, w.end - w.begin)).texts(), QStringList{w.text});
}

void TestPlatform::resolvesTheProgram_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("known");
    QTest::addColumn<QStringList>("words"); // the program, then its arguments
    const QString conv = u"/opt/My Tools/conv"_s;
    // /opt/My exists in every row.
    QTest::addRow("longest registered, after a blank")
        << u" "_s + conv + u" a"_s << QStringList{u"/opt/My"_s, conv} << QStringList{conv, u"a"_s};
    QTest::addRow("registered, with a quote") << u"/opt/a\"\"\"b/conv x"_s << QStringList{u"/opt/a\"b/conv"_s}
                                              << QStringList{u"/opt/a\"b/conv"_s, u"x"_s};
    QTest::addRow("only a prefix of the line")
        << conv + u".bak x"_s << QStringList{conv} << QStringList{u"/opt/My"_s, u"Tools/conv.bak"_s, u"x"_s};
    QTest::addRow("typed by hand") << u"/opt/my app/run a"_s << QStringList()
                                   << QStringList{u"/opt/my app/run"_s, u"a"_s};
}

void TestPlatform::resolvesTheProgram()
{
    QFETCH(QString, line);
    QFETCH(QStringList, known);
    QFETCH(QStringList, words);
    const QSet<QString> files{u"/opt/My"_s, u"/opt/my app/run"_s};
    QString program;
    QStringList arguments;
    QVERIFY(CommandLine(line).resolve(
        known, [&](const QString& path) { return files.contains(path); }, program, arguments));
    QCOMPARE(QStringList{program} + arguments, words);
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
