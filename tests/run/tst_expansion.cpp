#include "Fakes.h"
#include "core/AppRegistry.h"
#include "core/BatchList.h"
#include "run/Expansion.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
// The expansion as one full replacement pass per key, in order: what the fast version must equal.
QString referenceExpand(const QString& parameter, const QStringList& row, int columnCount,
                        const AppRegistry& apps)
{
    QString text = parameter;
    for (int n = 0; n < columnCount; ++n)
        text.replace(u"<c"_s + QString::number(n) + u'>', row.value(n));
    for (int n = 1; n <= apps.count(); ++n)
        text.replace(u"<App"_s + QString::number(n) + u'>', apps.path(n - 1));
    return text;
}

void fillApps(AppRegistry& apps, const QStringList& paths)
{
    for (int i = 0; i < paths.size(); ++i)
        apps.appendRow({AppRegistry::keyFor(i + 1), u"app"_s, paths[i]});
}

const QStringList sixCells{u""_s, u"1"_s, u"a"_s, u"bmp"_s, u"D:\\w"_s, u"D:\\w\\a.bmp"_s};
} // namespace

class TestExpansion : public QObject
{
    Q_OBJECT
private slots:
    void expand_data();
    void expand();
    void matchesSequentialPassesOnRandomTexts();
    void checkAppKeys_data();
    void checkAppKeys();
    void messageEndsWithTheStopPhrase();
};

void TestExpansion::expand_data()
{
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<int>("columnCount");
    QTest::addColumn<QStringList>("appPaths");
    QTest::addColumn<QString>("expected");

    const QStringList conv{u"C:\\Tools\\conv.exe"_s};
    QStringList eleven;
    for (int i = 0; i < 11; ++i)
        eleven << u"v"_s + QString::number(i);

    QTest::addRow("whole template") << u"<App1> -o <c4>\\<c2>.txt <c5>"_s << sixCells << 6 << conv
                                    << u"C:\\Tools\\conv.exe -o D:\\w\\a.txt D:\\w\\a.bmp"_s;
    QTest::addRow("empty") << QString() << sixCells << 6 << conv << QString();
    QTest::addRow("no keys") << u"plain text <> <"_s << sixCells << 6 << conv << u"plain text <> <"_s;
    QTest::addRow("c0 of a dropped row is empty") << u"[<c0>]"_s << sixCells << 6 << conv << u"[]"_s;
    QTest::addRow("c1 beside c10") << u"<c1>|<c10>|<c1>0>"_s << eleven << 11 << QStringList()
                                   << u"v1|v10|v10>"_s;
    QTest::addRow("repeated key") << u"<c2><c2> <c2>"_s << sixCells << 6 << conv << u"aa a"_s;
    QTest::addRow("case and near misses")
        << u"<C2> <app1> <c01> < c1> <c1 > <c-1> <App01> <APP1> <c2 <App1 c2>"_s << sixCells << 6 << conv
        << u"<C2> <app1> <c01> < c1> <c1 > <c-1> <App01> <APP1> <c2 <App1 c2>"_s;
    QTest::addRow("column out of range") << u"<c6> <c5>"_s << sixCells << 6 << conv << u"<c6> D:\\w\\a.bmp"_s;
    QTest::addRow("app out of range")
        << u"<App0> <App2> <App1>"_s << sixCells << 6 << conv << u"<App0> <App2> C:\\Tools\\conv.exe"_s;
    QTest::addRow("huge numbers") << u"<c99999999999999999999> <App4294967297>"_s << sixCells << 6 << conv
                                  << u"<c99999999999999999999> <App4294967297>"_s;
    QTest::addRow("blanks inserted unquoted")
        << u"<App1> <c5>"_s << QStringList{u""_s, u"1"_s, u"a b"_s, u""_s, u""_s, u"/my docs/a b.txt"_s} << 6
        << QStringList{u"/opt/my tools/conv"_s} << u"/opt/my tools/conv /my docs/a b.txt"_s;
    QTest::addRow("value holding a later key is expanded")
        << u"<c1>"_s << QStringList{u""_s, u"<c5>+<App1>"_s, u"a"_s, u""_s, u""_s, u"full"_s} << 6 << conv
        << u"full+C:\\Tools\\conv.exe"_s;
    QTest::addRow("value holding an earlier key is kept")
        << u"<c5>"_s << QStringList{u"zero"_s, u"1"_s, u"a"_s, u""_s, u""_s, u"<c2>,<c0>"_s} << 6 << conv
        << u"<c2>,<c0>"_s;
    QTest::addRow("value holding its own key is not rescanned")
        << u"<c2>"_s << QStringList{u""_s, u""_s, u"x<c2>y"_s} << 3 << QStringList() << u"x<c2>y"_s;
    QTest::addRow("key completed across an inserted value")
        << u"<c1>2>"_s << QStringList{u""_s, u"<c"_s, u"two"_s} << 3 << QStringList() << u"two"_s;
    QTest::addRow("app path holding keys")
        << u"<App1>"_s << sixCells << 6 << QStringList{u"<c2>/<App2>"_s, u"/second"_s} << u"<c2>//second"_s;
    QTest::addRow("row shorter than the columns")
        << u"[<c4>]"_s << QStringList{u""_s, u"1"_s} << 6 << QStringList() << u"[]"_s;
    QTest::addRow("shell text is data")
        << u"<c2>;rm -rf $(x) `y` | z"_s << sixCells << 6 << conv << u"a;rm -rf $(x) `y` | z"_s;
}

void TestExpansion::expand()
{
    QFETCH(QString, parameter);
    QFETCH(QStringList, cells);
    QFETCH(int, columnCount);
    QFETCH(QStringList, appPaths);
    QFETCH(QString, expected);

    AppRegistry apps;
    fillApps(apps, appPaths);
    QCOMPARE(ExpandParameter(parameter, cells, columnCount, apps), expected);
    QCOMPARE(referenceExpand(parameter, cells, columnCount, apps), expected);
}

void TestExpansion::matchesSequentialPassesOnRandomTexts()
{
    // Texts built from key fragments, so that keys, near misses and keys split across values are frequent.
    const QStringList fragments{u"<c"_s, u"<App"_s, u"0"_s, u"1"_s, u"2"_s,  u"10"_s,   u"12"_s,     u"3"_s,
                                u">"_s,  u"<"_s,    u"x"_s, u" "_s, u"<C"_s, u"<c1>"_s, u"<App2>"_s, u"9"_s};
    QRandomGenerator random(20240615);
    auto randomText = [&](int maxPieces) {
        QString text;
        const int pieces = random.bounded(maxPieces + 1);
        for (int i = 0; i < pieces; ++i)
            text += fragments[random.bounded(fragments.size())];
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        const int columnCount = 1 + random.bounded(13);
        QStringList cells;
        for (int i = 0; i < columnCount; ++i)
            cells << randomText(4);
        AppRegistry apps;
        QStringList paths;
        for (int i = random.bounded(4); i > 0; --i)
            paths << randomText(4);
        fillApps(apps, paths);
        const QString parameter = randomText(12);
        const QString fast = ExpandParameter(parameter, cells, columnCount, apps);
        const QString reference = referenceExpand(parameter, cells, columnCount, apps);
        if (fast != reference) {
            qWarning() << "parameter" << parameter << "cells" << cells << "apps" << paths;
            QCOMPARE(fast, reference);
        }
    }
}

void TestExpansion::checkAppKeys_data()
{
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QStringList>("appPaths");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");

    const QStringList two{u"/bin/one"_s, u"/bin/two"_s};
    QTest::addRow("no keys") << QStringList{u"echo <c2>"_s} << QStringList() << QStringList() << QString();
    QTest::addRow("all sound") << QStringList{u"<App1> <App2>"_s} << two << two << QString();
    QTest::addRow("unregistered key used twice")
        << QStringList{u"<App2> x <App2>"_s} << QStringList{u"/bin/one"_s} << QStringList{u"/bin/one"_s}
        << u"1第パラメータ内の<App2>はアプリリストにありません\r\n"_s;
    QTest::addRow("keys in ascending order")
        << QStringList{u"<App3> <App1>"_s} << two << QStringList{u"/bin/two"_s}
        << u"1第パラメータ内の<App1>のパスが見あたりません\r\n"
           u"1第パラメータ内の<App3>はアプリリストにありません\r\n"_s;
    QTest::addRow("entries in list order")
        << QStringList{u"<App1>"_s, u"fine"_s, u"<App5>"_s} << two << QStringList{u"/bin/two"_s}
        << u"1第パラメータ内の<App1>のパスが見あたりません\r\n3第パラメータ内の<App5>はアプリリストにありません\r\n"_s;
    QTest::addRow("highest key looked for") << QStringList{u"<App999>"_s} << two << two
                                            << u"1第パラメータ内の<App999>はアプリリストにありません\r\n"_s;
    QTest::addRow("keys above 999 pass") << QStringList{u"<App1000> <App12345>"_s} << two << two << QString();
    QTest::addRow("not keys") << QStringList{u"<App0> <App01> <app3> <App 3> <App3"_s} << two << two
                              << QString();
    QTest::addRow("nested") << QStringList{u"<App<App4>>"_s} << two << two
                            << u"1第パラメータ内の<App4>はアプリリストにありません\r\n"_s;
}

void TestExpansion::checkAppKeys()
{
    QFETCH(QStringList, parameters);
    QFETCH(QStringList, appPaths);
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);

    AppRegistry apps;
    fillApps(apps, appPaths);
    BatchList batch;
    for (const QString& p : parameters)
        batch.appendRow({u"<App1>"_s, u"app"_s, p, u"/bin/one"_s});
    FakeFileSystem fs;
    for (const QString& f : existing)
        fs.files.insert(f);
    QCOMPARE(CheckAppKeys(batch, apps, fs), expected);
}

void TestExpansion::messageEndsWithTheStopPhrase()
{
    QCOMPARE(CheckAppKeysMessage(u"1第パラメータ内の<App2>はアプリリストにありません\r\n"_s),
             u"1第パラメータ内の<App2>はアプリリストにありません\r\n処理を中止します"_s);
}

QTEST_GUILESS_MAIN(TestExpansion)
#include "tst_expansion.moc"
