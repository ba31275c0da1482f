#include "core/WorkTable.h"
#include "store/TemplateData.h"
#include "store/TemplateReader.h"
#include "store/TemplateWriter.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace
{
constexpr int refused = std::numeric_limits<int>::min();
} // namespace

// The text-level rules of template files: numbers, widths and the reader's line table.
class TestTemplateFormat : public QObject
{
    Q_OBJECT
private slots:
    void numbers_data();
    void numbers();
    void brokenFiles_data();
    void brokenFiles();
    void valueLines();
    void optionLines_data();
    void optionLines();
};

void TestTemplateFormat::numbers_data()
{
    // A width is written as text and read back as a whole number; rows without twips test the reading only.
    QTest::addColumn<float>("twips");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("whole");
    const auto width = [](const char* name, float twips, const QString& text, int whole) {
        QTest::addRow("%s", name) << twips << text << whole;
    };
    const auto text = [](const char* name, const QString& text, int whole) {
        QTest::addRow("%s", name) << std::nanf("") << text << whole;
    };
    width("factory, rounds up", 1409.953f, u"1409.953"_s, 1410);
    width("factory, 7 digits", 659.9055f, u"659.9055"_s, 660);
    width("a third", 1.0f / 3.0f, u"0.3333333"_s, 0);
    width("rounding carries", 9.9999999f, u"10"_s, 10);
    width("half to even, down", 2.5f, u"2.5"_s, 2);
    width("negative half", -12.5f, u"-12.5"_s, -12);
    width("eight digits, no exponent", 12345678.0f, u"12345680"_s, refused);
    width("tiny, no exponent", 1.5e-7f, u"0.00000015"_s, 0);
    text("exponent", u"1.5e3"_s, 1500);
    text("half even stays in range", u"-32768.5"_s, -32768);
    text("rounds out of range", u"32767.5"_s, refused);
    text("too small", u"-32769"_s, refused);
    text("word", u"True"_s, refused);
    text("trailing text", u"12px"_s, refused);
    text("nan", u"nan"_s, refused);
    text("full-width digit", u"１"_s, refused);
}

void TestTemplateFormat::numbers()
{
    QFETCH(float, twips);
    QFETCH(QString, text);
    QFETCH(int, whole);
    if (!std::isnan(twips))
        QCOMPARE(TemplateWriter::formatWidth(twips), text);
    int result = refused;
    QCOMPARE(TemplateReader::wholeNumber(text, &result), whole != refused);
    if (whole != refused)
        QCOMPARE(result, whole);
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
    add("check1 not a number", u"/check1.Value\nx\n"_s, StoreError::NotANumber);
    add("three option states", u"/option1.value\nTrue|False|False\n"_s, StoreError::TooManyElements);
    add("check marks without items", u"/list1.value\nTrue\n"_s, StoreError::TooManyElements);
    add("key-list row without bar", u"/listview3.listitems.Text\n<c0>\n"_s, StoreError::MissingSeparator);
    add("widths past the columns",
        u"/listview3.listitems.Text\n<c0>|a\n/listview1.ColumnHeaders.Width\n1|2\n"_s,
        StoreError::TooManyElements);
    add("position out of range",
        u"/listview3.listitems.Text\n<c0>|a\n/listview1.ColumnHeaders.Position\n99999\n"_s,
        StoreError::OutOfRange);
    add("five batch widths", u"/listview4.ColumnHeaders.Width\n1|2|3|4|5\n"_s, StoreError::TooManyElements);
    add("log limit 33", u"/label6.caption\n33\n"_s, StoreError::LogLimitOutOfRange);
    add("log limit 0.5 rounds to 0", u"/label6.caption\n0.5\n"_s, StoreError::LogLimitOutOfRange);
    add("log limit 32.5 rounds to 32", u"/label6.caption\n32.5\n"_s, 0);
    add("key with wrong case is a value", u"/check1.Value\n/check1.value\n"_s, StoreError::NotANumber);
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
    QCOMPARE(error.description.isEmpty(), number == StoreError::None);
}

void TestTemplateFormat::valueLines()
{
    WorkTable table;
    TemplateData data = TemplateData::from(table);
    TemplateReader::clearLists(data);
    const QString text =
        u"garbage\n|||\n/check1.Value\n0\n\n/check2.Value\n0\n/list1.List\na||c\n/list1.value\n"
        u"False|True|False\n/listview3.listitems.Text\n<c0>|戻り値\nkey|a|b\n/listview3.ColumnHeaders.Width\n"
        u"10.5\n/listview1.ColumnHeaders.Position\n2|1\n/listview1.ColumnHeaders.Width\n99.5\n"
        u"/listview2.listitems.Text\n<App1>|a.exe\n<App2>|b|/b|x|y|\n/listview4.ColumnHeaders.Width\n"
        u"1|2|3|4\n/listview1.ColumnHeaders.Text\nold|captions\n/label6.caption\n 7.6 KB\n/check1.Value\n"
        u"1\n/list1.List\nd\n"_s;
    StoreError error;
    QVERIFY2(TemplateReader::read(text, data, &error), qPrintable(error.text()));
    QCOMPARE(data.check1, 1); // a section that occurs twice is applied twice
    QVERIFY(!data.option2Enabled);
    QCOMPARE(data.extensions.size(), size_t(4)); // lists append again
    QCOMPARE(data.extensions[1].text, QString());
    QCOMPARE(data.extensions[3].text, u"d"_s);
    QVERIFY(!data.extensions[0].checked && data.extensions[1].checked && !data.extensions[2].checked);
    QCOMPARE(data.columns.size(), size_t(2));
    QCOMPARE(data.columns[1].keyText, u"key"_s); // stored as read
    QCOMPARE(data.columns[1].name, u"a|b"_s);
    QCOMPARE(data.columns[0].position, 2);
    QCOMPARE(data.columns[0].width, 100.0f);  // 99.5 rounds to even
    QCOMPARE(data.columns[1].width, 1440.0f); // fewer widths than columns: the rest keep theirs
    QCOMPARE(data.keyListWidths, (QList<float>{10.0f, 1440.0f}));
    QCOMPARE(data.apps, (std::vector<QStringList>{{u"<App1>"_s, u"a.exe"_s},
                                                  {u"<App2>"_s, u"b"_s, u"/b"_s, u"x|y|"_s}}));
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
    QTest::addRow("on") << u"False|True"_s << 1 << true;
    QTest::addRow("both true: the last wins") << u"True|True"_s << 1 << true;
    QTest::addRow("none") << u"False|False"_s << -1 << false;
    QTest::addRow("other words leave it") << u"x|y"_s << 0 << false;
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
    QCOMPARE(data.option2.selected(), selected);
    data.applyTo(table);
    QCOMPARE(table.filter.mode().selected(), selected);
    QCOMPARE(table.filter.listEnabled(), listEnabled);
}

QTEST_GUILESS_MAIN(TestTemplateFormat)
#include "tst_templateformat.moc"
