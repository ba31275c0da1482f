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
} // namespace

class TestExpansion : public QObject
{
    Q_OBJECT
private slots:
    void matchesSequentialPassesOnRandomTexts();
    void checkAppKeys_data();
    void checkAppKeys();
};

void TestExpansion::matchesSequentialPassesOnRandomTexts()
{
    // Key fragments, so that keys, near misses, c1 beside c10, numbers past 32 bits, values with blanks or
    // holding earlier or later keys and keys completed across an inserted value are all frequent.
    const QStringList fragments{u"<c"_s, u"<App"_s, u"0"_s,      u"1"_s, u"2"_s,         u"10"_s,
                                u"12"_s, u"3"_s,    u">"_s,      u"<"_s, u"x"_s,         u" "_s,
                                u"<C"_s, u"<c1>"_s, u"<App2>"_s, u"9"_s, u"4294967297"_s};
    QRandomGenerator random(20240615);
    auto randomText = [&](int maxPieces) {
        QString text;
        for (int i = random.bounded(maxPieces + 1); i > 0; --i)
            text += fragments[random.bounded(fragments.size())];
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        const int columnCount = 1 + random.bounded(13);
        QStringList cells, paths;
        for (int i = random.bounded(columnCount + 2); i > 0; --i) // rows may be shorter than the columns
            cells << randomText(4);
        for (int i = random.bounded(4); i > 0; --i)
            paths << randomText(4);
        AppRegistry apps;
        fillApps(apps, paths);
        const QString parameter = randomText(12);
        const QString fast = ExpandParameter(parameter, cells, columnCount, apps);
        if (fast != referenceExpand(parameter, cells, columnCount, apps)) {
            qWarning() << "parameter" << parameter << "cells" << cells << "apps" << paths;
            QCOMPARE(fast, referenceExpand(parameter, cells, columnCount, apps));
        }
    }
}

void TestExpansion::checkAppKeys_data()
{
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");

    const QStringList two{u"/bin/one"_s, u"/bin/two"_s};
    QTest::addRow("sound keys and not keys")
        << QStringList{u"<App1> <App2> <App1000> <App0> <App01> <app3> <App 3> <App3 <c2>"_s} << two
        << QString();
    QTest::addRow("unregistered key used twice")
        << QStringList{u"<App4> x <App4>"_s} << two
        << u"1第パラメータ内の<App4>はアプリリストにありません\r\n"_s;
    QTest::addRow("keys ascending, entries in list order")
        << QStringList{u"<App3> <App1>"_s, u"fine"_s, u"<App5>"_s} << QStringList{u"/bin/two"_s}
        << u"1第パラメータ内の<App1>のパスが見あたりません\r\n1第パラメータ内の<App3>"
           u"はアプリリストにありません\r\n"
           u"3第パラメータ内の<App5>はアプリリストにありません\r\n"_s;
    QTest::addRow("999 is the highest key looked for")
        << QStringList{u"<App999> <App12345>"_s} << two
        << u"1第パラメータ内の<App999>はアプリリストにありません\r\n"_s;
    QTest::addRow("nested") << QStringList{u"<App<App4>>"_s} << two
                            << u"1第パラメータ内の<App4>はアプリリストにありません\r\n"_s;
}

void TestExpansion::checkAppKeys()
{
    QFETCH(QStringList, parameters);
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);
    AppRegistry apps;
    fillApps(apps, {u"/bin/one"_s, u"/bin/two"_s});
    BatchList batch;
    for (const QString& p : parameters)
        batch.appendRow({u"<App1>"_s, u"app"_s, p, u"/bin/one"_s});
    FakeFileSystem fs;
    fs.files = QSet<QString>(existing.begin(), existing.end());
    QCOMPARE(CheckAppKeys(batch, apps, fs), expected);
}

QTEST_GUILESS_MAIN(TestExpansion)
#include "tst_expansion.moc"
