#include "core/WorkTable.h"
#include "store/TemplateData.h"
#include "store/TemplateReader.h"
#include "store/TemplateWriter.h"
#include "store/TextCodec.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The text-level rules of template files: numbers, widths, encoding and the reader's line table.
class TestTemplateFormat : public QObject
{
    Q_OBJECT
private slots:
    void formatWidth_data();
    void formatWidth();
    void wholeNumber_data();
    void wholeNumber();
    void splitLines_data();
    void splitLines();
    void encodingFallsBackToUtf8_data();
    void encodingFallsBackToUtf8();
    void brokenFiles_data();
    void brokenFiles();
    void valueLines();
    void optionLines_data();
    void optionLines();
    void barsAndLineBreaksInValues();
};

void TestTemplateFormat::formatWidth_data()
{
    QTest::addColumn<float>("twips");
    QTest::addColumn<QString>("text");
    QTest::addRow("factory 1409.953") << 1409.953f << u"1409.953"_s;
    QTest::addRow("factory 1140.095") << 1140.095f << u"1140.095"_s;
    QTest::addRow("factory 1530.142") << 1530.142f << u"1530.142"_s;
    QTest::addRow("factory 1035.213") << 1035.213f << u"1035.213"_s;
    QTest::addRow("factory 659.9055") << 659.9055f << u"659.9055"_s;
    QTest::addRow("factory 450.1418") << 450.1418f << u"450.1418"_s;
    QTest::addRow("factory 1214.92") << 1214.92f << u"1214.92"_s;
    QTest::addRow("whole") << 1440.0f << u"1440"_s;
    QTest::addRow("zero") << 0.0f << u"0"_s;
    QTest::addRow("negative zero") << -0.0f << u"0"_s;
    QTest::addRow("one") << 1.0f << u"1"_s;
    QTest::addRow("half") << 0.5f << u"0.5"_s;
    QTest::addRow("small") << 0.001234567f << u"0.001234567"_s;
    QTest::addRow("a pixel at 96 dpi") << 15.0f << u"15"_s;
    QTest::addRow("pixels to twips") << 100.0f * 1440.0f / 96.0f << u"1500"_s;
    QTest::addRow("a third") << 1.0f / 3.0f << u"0.3333333"_s;
    QTest::addRow("rounds up") << 2.6666667f << u"2.666667"_s;
    QTest::addRow("rounding carries") << 9.9999999f << u"10"_s;
    QTest::addRow("negative") << -12.5f << u"-12.5"_s;
    QTest::addRow("seven digits") << 1234567.0f << u"1234567"_s;
    QTest::addRow("eight digits, no exponent") << 12345678.0f << u"12345680"_s;
    QTest::addRow("large, no exponent") << 1.0e10f << u"10000000000"_s;
    QTest::addRow("tiny, no exponent") << 1.5e-7f << u"0.00000015"_s;
    QTest::addRow("float noise") << 0.1f << u"0.1"_s;
    QTest::addRow("sum noise") << (0.1f + 0.2f) << u"0.3"_s;
    QTest::addRow("32767") << 32767.0f << u"32767"_s;
    QTest::addRow("max 7 digits after point") << 1.2345678f << u"1.234568"_s;
    QTest::addRow("trailing zeros gone") << 100.25f << u"100.25"_s;
}

void TestTemplateFormat::formatWidth()
{
    QFETCH(float, twips);
    QFETCH(QString, text);
    QCOMPARE(TemplateWriter::formatWidth(twips), text);
}

void TestTemplateFormat::wholeNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::addRow("plain") << u"1"_s << true << 1;
    QTest::addRow("rounds up") << u"1409.953"_s << true << 1410;
    QTest::addRow("rounds down") << u"1140.095"_s << true << 1140;
    QTest::addRow("1214.92") << u"1214.92"_s << true << 1215;
    QTest::addRow("half to even, down") << u"0.5"_s << true << 0;
    QTest::addRow("half to even, up") << u"1.5"_s << true << 2;
    QTest::addRow("2.5 to even") << u"2.5"_s << true << 2;
    QTest::addRow("negative half") << u"-2.5"_s << true << -2;
    QTest::addRow("negative") << u"-7"_s << true << -7;
    QTest::addRow("plus sign") << u"+7"_s << true << 7;
    QTest::addRow("blanks around") << u"  42 "_s << true << 42;
    QTest::addRow("leading point") << u".75"_s << true << 1;
    QTest::addRow("exponent") << u"1.5e3"_s << true << 1500;
    QTest::addRow("largest") << u"32767"_s << true << 32767;
    QTest::addRow("smallest") << u"-32768"_s << true << -32768;
    QTest::addRow("rounds into range") << u"32767.4"_s << true << 32767;
    QTest::addRow("half even stays in range") << u"-32768.5"_s << true << -32768;
    QTest::addRow("rounds out of range") << u"32767.5"_s << false << 0;
    QTest::addRow("too large") << u"32768"_s << false << 0;
    QTest::addRow("too small") << u"-32769"_s << false << 0;
    QTest::addRow("huge exponent") << u"1e400"_s << false << 0;
    QTest::addRow("empty") << QString() << false << 0;
    QTest::addRow("blank") << u" "_s << false << 0;
    QTest::addRow("word") << u"True"_s << false << 0;
    QTest::addRow("trailing text") << u"12px"_s << false << 0;
    QTest::addRow("two points") << u"1.2.3"_s << false << 0;
    QTest::addRow("sign only") << u"-"_s << false << 0;
    QTest::addRow("point only") << u"."_s << false << 0;
    QTest::addRow("inf") << u"inf"_s << false << 0;
    QTest::addRow("nan") << u"nan"_s << false << 0;
    QTest::addRow("hex") << u"0x10"_s << false << 0;
    QTest::addRow("full-width digit") << u"１"_s << false << 0;
    QTest::addRow("exponent without digits") << u"1e"_s << false << 0;
}

void TestTemplateFormat::wholeNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    int result = -999;
    QCOMPARE(TemplateReader::wholeNumber(text, &result), ok);
    if (ok)
        QCOMPARE(result, value);
}

void TestTemplateFormat::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::addRow("empty") << QString() << QStringList();
    QTest::addRow("crlf ended") << u"A\r\nB\r\n"_s << QStringList{u"A"_s, u"B"_s};
    QTest::addRow("no last end") << u"A\r\nB"_s << QStringList{u"A"_s, u"B"_s};
    QTest::addRow("lf") << u"A\nB\n"_s << QStringList{u"A"_s, u"B"_s};
    QTest::addRow("mixed") << u"A\nB\r\nC"_s << QStringList{u"A"_s, u"B"_s, u"C"_s};
    QTest::addRow("one crlf") << u"\r\n"_s << QStringList{QString()};
    QTest::addRow("empty lines kept")
        << u"\r\n\r\nA\r\n\r\n"_s << QStringList{QString(), QString(), u"A"_s, QString()};
    QTest::addRow("lone cr stays in the line") << u"A\rB\r\n"_s << QStringList{u"A\rB"_s};
}

void TestTemplateFormat::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(TextCodec::splitLines(text), lines);
}

void TestTemplateFormat::encodingFallsBackToUtf8_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("utf8");
    QTest::addRow("ascii") << u"/check1.Value\r\n1\r\n"_s << false;
    QTest::addRow("japanese") << u"<c2>|元ファイル名"_s << false;
    QTest::addRow("half-width katakana") << u"ｷｰ"_s << false;
    QTest::addRow("circled digit") << u"①"_s << false;
    QTest::addRow("emoji") << u"メモ😀"_s << true;
    QTest::addRow("korean") << u"한국어"_s << true;
    QTest::addRow("accented latin") << u"café"_s << true;
    QTest::addRow("wave dash") << u"〜"_s << true;
}

void TestTemplateFormat::encodingFallsBackToUtf8()
{
    QFETCH(QString, text);
    QFETCH(bool, utf8);
    const QByteArray bytes = TextCodec::encode(text);
    QCOMPARE(bytes.startsWith("\xEF\xBB\xBF"), utf8);
    QCOMPARE(TextCodec::decode(bytes), text);
}

void TestTemplateFormat::brokenFiles_data()
{
    // Each file is read over the factory table; the number says why it fails, 0 that it must load.
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    const auto add = [](const char* name, const QString& text, int number) {
        QTest::addRow("%s", name) << text << number;
    };
    add("empty file", QString(), StoreError::None);
    add("check1 not a number", u"/check1.Value\r\nx\r\n"_s, StoreError::NotANumber);
    add("check1 out of range", u"/check1.Value\r\n40000\r\n"_s, StoreError::OutOfRange);
    add("check2 word", u"/check2.Value\r\nTrue\r\n"_s, StoreError::NotANumber);
    add("three option states", u"/option1.value\r\nTrue|False|False\r\n"_s, StoreError::TooManyElements);
    add("option2 three", u"/option2.value\r\n||\r\n"_s, StoreError::TooManyElements);
    add("option unknown words ignored", u"/option2.value\r\nyes|no\r\n"_s, StoreError::None);
    add("check marks without items", u"/list1.value\r\nTrue\r\n"_s, StoreError::TooManyElements);
    add("more check marks than items", u"/list1.List\r\na|b\r\n/list1.value\r\nTrue|True|True\r\n"_s,
        StoreError::TooManyElements);
    add("fewer check marks than items", u"/list1.List\r\na|b\r\n/list1.value\r\nTrue\r\n"_s,
        StoreError::None);
    add("key-list row without bar", u"/listview3.listitems.Text\r\n<c0>\r\n"_s, StoreError::MissingSeparator);
    add("key-list row with three fields", u"/listview3.listitems.Text\r\n<c0>|a|b\r\n"_s, StoreError::None);
    add("three key-list widths", u"/listview3.ColumnHeaders.Width\r\n1|2|3\r\n"_s,
        StoreError::TooManyElements);
    add("key-list width a word", u"/listview3.ColumnHeaders.Width\r\nwide\r\n"_s, StoreError::NotANumber);
    add("key-list width empty element", u"/listview3.ColumnHeaders.Width\r\n1|\r\n"_s,
        StoreError::NotANumber);
    add("positions without columns", u"/listview1.ColumnHeaders.Position\r\n1\r\n"_s,
        StoreError::TooManyElements);
    add("widths past the columns",
        u"/listview3.listitems.Text\r\n<c0>|a\r\n/listview1.ColumnHeaders.Width\r\n1|2\r\n"_s,
        StoreError::TooManyElements);
    add("position out of range",
        u"/listview3.listitems.Text\r\n<c0>|a\r\n/listview1.ColumnHeaders.Position\r\n99999\r\n"_s,
        StoreError::OutOfRange);
    add("five registry fields are no error", u"/listview2.listitems.Text\r\n<App1>|a|/a|b|c\r\n"_s,
        StoreError::None);
    add("five registry widths", u"/listview2.ColumnHeaders.Width\r\n1|2|3|4|5\r\n"_s,
        StoreError::TooManyElements);
    add("four batch widths", u"/listview4.ColumnHeaders.Width\r\n1|2|3|4\r\n"_s, StoreError::None);
    add("five batch widths", u"/listview4.ColumnHeaders.Width\r\n1|2|3|4|5\r\n"_s,
        StoreError::TooManyElements);
    add("log limit 0", u"/label6.caption\r\n0\r\n"_s, StoreError::LogLimitOutOfRange);
    add("log limit 33", u"/label6.caption\r\n33\r\n"_s, StoreError::LogLimitOutOfRange);
    add("log limit word", u"/label6.caption\r\nKB\r\n"_s, StoreError::LogLimitOutOfRange);
    add("log limit 0.5 rounds to 0", u"/label6.caption\r\n0.5\r\n"_s, StoreError::LogLimitOutOfRange);
    add("log limit 32.5 rounds to 32", u"/label6.caption\r\n32.5\r\n"_s, StoreError::None);
    add("log limit with text", u"/label6.caption\r\n8KB\r\n"_s, StoreError::None);
    add("lines before the first key", u"garbage\r\n|||\r\n/check1.Value\r\n0\r\n"_s, StoreError::None);
    add("unknown key is a value line", u"/check1.Value\r\n/check3.Value\r\n"_s, StoreError::NotANumber);
    add("old caption key ignored", u"/listview1.ColumnHeaders.Text\r\nanything|at|all\r\n"_s,
        StoreError::None);
    add("key with wrong case is a value", u"/check1.Value\r\n/check1.value\r\n"_s, StoreError::NotANumber);
    add("key with a blank is a value", u"/check1.Value\r\n/check2.Value \r\n"_s, StoreError::NotANumber);
}

void TestTemplateFormat::brokenFiles()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    WorkTable table;
    TemplateData data = TemplateData::from(table);
    TemplateReader::clearLists(data);
    StoreError error;
    QCOMPARE(TemplateReader::read(text, data, &error), number == StoreError::None);
    QCOMPARE(error.number, number);
    if (number != StoreError::None)
        QVERIFY(!error.description.isEmpty());
}

void TestTemplateFormat::valueLines()
{
    WorkTable table;
    TemplateData data = TemplateData::from(table);
    TemplateReader::clearLists(data);
    const QString text =
        u"/check1.Value\n0\n\n/check2.Value\n0\n/list1.List\na||c\n/list1.value\nFalse|True|False\n"
        u"/listview3.listitems.Text\n<c0>|戻り値\nkey|a|b\n"
        u"/listview3.ColumnHeaders.Width\n10.5\n"
        u"/listview1.ColumnHeaders.Position\n2|1\n"
        u"/listview1.ColumnHeaders.Width\n99.5\n"
        u"/listview2.listitems.Text\n<App1>|a.exe\n"
        u"/listview4.ColumnHeaders.Width\n1|2|3|4\n"
        u"/label6.caption\n 7.6 KB\n"
        u"/check1.Value\n1\n/list1.List\nd\n"_s;
    StoreError error;
    QVERIFY2(TemplateReader::read(text, data, &error), qPrintable(error.text()));
    QCOMPARE(data.check1, 1); // a section that occurs twice is applied twice
    QCOMPARE(data.check2, 0);
    QVERIFY(!data.option2Enabled);
    QCOMPARE(data.extensions.size(), size_t(4)); // lists append again
    QCOMPARE(data.extensions[1].text, QString());
    QVERIFY(!data.extensions[0].checked);
    QVERIFY(data.extensions[1].checked);
    QVERIFY(!data.extensions[2].checked);
    QCOMPARE(data.extensions[3].text, u"d"_s);
    QCOMPARE(data.columns.size(), size_t(2));
    QCOMPARE(data.columns[1].keyText, u"key"_s); // stored as read
    QCOMPARE(data.columns[1].name, u"a|b"_s);
    QCOMPARE(data.columns[0].position, 2);
    QCOMPARE(data.columns[1].position, 1);
    QCOMPARE(data.columns[0].width, 100.0f);  // 99.5 rounds to even
    QCOMPARE(data.columns[1].width, 1440.0f); // fewer widths than columns: the rest keep theirs
    QCOMPARE(data.keyListWidths, (QList<float>{10.0f, 1440.0f}));
    QCOMPARE(data.apps.size(), size_t(1));
    QCOMPARE(data.apps[0], (QStringList{u"<App1>"_s, u"a.exe"_s}));
    QCOMPARE(data.batchWidths, (QList<float>{1.0f, 2.0f, 3.0f, 4.0f}));
    QCOMPARE(data.appWidths, AppRegistry::factoryWidths()); // not in the file: kept
    QCOMPARE(data.label6, u" 7.6 KB"_s);
    QCOMPARE(data.slider1, 8);
}

void TestTemplateFormat::optionLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("listEnabled");
    // The table starts with button 0 selected and the list disabled.
    QTest::addRow("off") << u"True|False"_s << 0 << false;
    QTest::addRow("on") << u"False|True"_s << 1 << true;
    QTest::addRow("both true: the last wins") << u"True|True"_s << 1 << true;
    QTest::addRow("none") << u"False|False"_s << -1 << false;
    QTest::addRow("one element") << u"False"_s << -1 << false;
    QTest::addRow("other words leave it") << u"x|y"_s << 0 << false;
    QTest::addRow("select 1 only") << u"x|True"_s << 1 << true;
}

void TestTemplateFormat::optionLines()
{
    QFETCH(QString, line);
    QFETCH(int, selected);
    QFETCH(bool, listEnabled);
    WorkTable table;
    TemplateData data = TemplateData::from(table);
    QVERIFY(TemplateReader::read(u"/option1.value\r\n"_s + line + u"\r\n/option2.value\r\n"_s + line, data,
                                 nullptr));
    QCOMPARE(data.option1.selected(), selected);
    QCOMPARE(data.option2.selected(), selected);
    QCOMPARE(data.listEnabled, listEnabled);
    data.applyTo(table);
    QCOMPARE(table.filter.mode().selected(), selected);
    QCOMPARE(table.filter.listEnabled(), listEnabled);
}

void TestTemplateFormat::barsAndLineBreaksInValues()
{
    WorkTable table;
    table.addColumn(u"A|B"_s);
    table.addColumn(QString());
    table.addColumn(u"two\r\nlines\nhere"_s);
    table.apps.appendRow({u"<App1>"_s, u"a"_s, u"/bin/a"_s, u"x|y|"_s});
    table.apps.appendRow({u"<App2>"_s, u"b"_s, u"/bin/b"_s, u"first\r\nsecond"_s});
    table.apps.appendRow({u"<App3>"_s, u"c"_s, u"/bin/c"_s});
    const QString text = TemplateWriter::text(TemplateData::from(table));
    const QStringList lines = TextCodec::splitLines(text);
    QVERIFY(lines.contains(u"<c6>|A|B"_s));
    QVERIFY(lines.contains(u"<c7>|"_s));
    QVERIFY(lines.contains(u"<c8>|two lines here"_s));
    QVERIFY(lines.contains(u"<App1>|a|/bin/a|x|y|"_s));
    QVERIFY(lines.contains(u"<App2>|b|/bin/b|first second"_s));
    QVERIFY(lines.contains(u"<App3>|c|/bin/c"_s));

    TemplateData back = TemplateData::from(table);
    TemplateReader::clearLists(back);
    QVERIFY(TemplateReader::read(text, back, nullptr));
    QCOMPARE(back.columns[6].name, u"A|B"_s);
    QCOMPARE(back.columns[7].name, QString());
    QCOMPARE(back.columns[8].name, u"two lines here"_s);
    QCOMPARE(back.apps[0][3], u"x|y|"_s);
    QCOMPARE(back.apps[1][3], u"first second"_s);
    QCOMPARE(back.apps.size(), size_t(3));
}

QTEST_GUILESS_MAIN(TestTemplateFormat)
#include "tst_templateformat.moc"
