#include "Fakes.h"
#include "platform/CommandLine.h"
#include "run/Expansion.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
QString randomText(QRandomGenerator& random, const QStringList& pieces, int maxPieces)
{
    QString text;
    for (int i = random.bounded(maxPieces + 1); i > 0; --i)
        text += pieces[random.bounded(pieces.size())];
    return text;
}
} // namespace

class TestExpansion : public QObject
{
    Q_OBJECT
private slots:
    void matchesSequentialPasses();
    void quotedKeyIsExactlyItsValue();
    void checkAppKeys();
};

void TestExpansion::matchesSequentialPasses()
{
    // Keys, near misses (<c-1>, <c01>, <C1>, <app1>, <c 1>, <App0>), c1 beside c10, keys out of range,
    // numbers past 32 bits, values holding earlier and later keys, keys split by a value, quotes.
    const QStringList fragments{u"<c"_s,   u"<App"_s, u"0"_s,      u"1"_s, u"2"_s,          u"10"_s, u"12"_s,
                                u"3"_s,    u">"_s,    u"<"_s,      u"x"_s, u" "_s,          u"-"_s,  u"<C"_s,
                                u"<app"_s, u"<c1>"_s, u"<App2>"_s, u"9"_s, u"4294967297"_s, u"\""_s};
    QRandomGenerator random(20240615);
    for (int round = 0; round < 20000; ++round) {
        const int columnCount = 1 + random.bounded(13);
        QStringList cells;
        for (int i = random.bounded(columnCount + 2); i > 0; --i) // rows may be shorter than the columns
            cells << randomText(random, fragments, 4);
        AppRegistry apps;
        for (int i = random.bounded(4); i > 0; --i)
            apps.appendRow(
                {AppRegistry::keyFor(apps.count() + 1), u"app"_s, randomText(random, fragments, 4)});
        const QString parameter = randomText(random, fragments, 12);
        // The reference: one full replacement pass per key, in order, each value's quotes tripled.
        QString expected = parameter;
        for (int n = 0; n < columnCount; ++n)
            expected.replace(u"<c"_s + QString::number(n) + u'>', CommandLine::escapeQuotes(cells.value(n)));
        for (int n = 1; n <= apps.count(); ++n)
            expected.replace(u"<App%1>"_s.arg(n), CommandLine::escapeQuotes(apps.path(n - 1)));
        QCOMPARE(expandCommandLine(parameter, cells, columnCount, apps), expected);
    }
}

void TestExpansion::quotedKeyIsExactlyItsValue()
{
    // Templates of text, blanks, quotes and keys; values of every character that splitting could take for its
    // own, each with one besides quotes (quotes alone would join the run of the template's quotes).
    const QStringList templatePieces{u"\""_s, u"\""_s, u"\""_s, u"\"\"\""_s, u" "_s,    u"\t"_s,
                                     u"-o"_s, u"x"_s,  u"\\"_s, u"<c1>"_s,   u"<c2>"_s, u"<App1>"_s};
    const QStringList valuePieces{u"\""_s, u"\"\""_s, u" "_s, u"\t"_s, u"\n"_s, u"\r\n"_s,
                                  u"　"_s, u"\\"_s,   u"a"_s, u"'"_s,  u";"_s,  u"$(x)"_s};
    QRandomGenerator random(1212);
    const QStringList keys{u"<c1>"_s, u"<c2>"_s, u"<App1>"_s};
    const QStringList standIns{u"\uE000 \uE100"_s, u"\uE001 \uE101"_s, u"\uE002 \uE102"_s}; // the keys'
    const QRegularExpression splitStandIn(u"[\uE000-\uE102]"_s);
    int checked = 0;
    for (int round = 0; round < 20000; ++round) {
        QStringList values;
        for (int k = 0; k < keys.size(); ++k) {
            QString value = randomText(random, valuePieces, 5);
            values << (QString(value).remove(u'"').isEmpty() ? value + u'v' : value);
        }
        AppRegistry apps;
        apps.appendRow({u"<App1>"_s, u"app"_s, values[2]});
        const QString parameter = randomText(random, templatePieces, 12);
        // Where the template alone puts each key: a stand-in with a blank stays whole only inside quotes.
        QString placed = parameter;
        for (int k = 0; k < keys.size(); ++k)
            placed.replace(keys[k], standIns[k]);
        QStringList expected = CommandLine(placed).texts();
        for (int k = 0; k < keys.size(); ++k)
            expected.replaceInStrings(standIns[k], values[k]);
        if (expected.join(QString()).contains(splitStandIn))
            continue;
        ++checked;
        const QString line = expandCommandLine(parameter, {QString(), values[0], values[1]}, 3, apps);
        QCOMPARE(CommandLine(line).texts(), expected);
    }
    QVERIFY(checked > 5000);
}

void TestExpansion::checkAppKeys()
{
    AppRegistry apps;
    apps.appendRow({u"<App1>"_s, u"app"_s, u"/bin/one"_s});
    apps.appendRow({u"<App2>"_s, u"app"_s, u"/bin/two"_s});
    FakeFileSystem fs;
    fs.files = {u"/bin/two"_s};
    BatchList batch;
    for (const QString& p :
         {u"<App3> <App1> <App3>"_s, u"<App2> <App1000> <App0> <App01> <app3> <App 3> <App3 <c2>"_s,
          u"<App<App4>>"_s, u"<App12345> <App999>"_s})
        batch.appendRow({u"<App1>"_s, u"app"_s, p, u"/bin/one"_s});
    const auto unlisted = [](int entry, int key) {
        return u"%1第パラメータ内の<App%2>はアプリリストにありません\r\n"_s.arg(entry).arg(key);
    };
    // Keys ascending and each once, entries in list order; 999 is the highest key looked for.
    QCOMPARE(appKeyProblems(batch, apps, fs), u"1第パラメータ内の<App1>のパスが見あたりません\r\n"_s +
                                                  unlisted(1, 3) + unlisted(3, 4) + unlisted(4, 999));
}

QTEST_GUILESS_MAIN(TestExpansion)
#include "tst_expansion.moc"
