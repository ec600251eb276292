// The window's decisions, without widgets: quality levels, file names, message texts.
#include <QTest>

#include "vellicor/decisions.h"

using namespace vellicor;

class DecisionsTest : public QObject {
    Q_OBJECT

private slots:
    void qualityLevelsSelectTheirWindows_data();
    void qualityLevelsSelectTheirWindows();
    void indexOutsideTheListIsReportedAndUsesTheSmallestWindow_data();
    void indexOutsideTheListIsReportedAndUsesTheSmallestWindow();
    void editedTextDropsTheSelection();
    void compressedNameAppendsTheExtension();
    void restoredNameDropsTheLastFourCharacters_data();
    void restoredNameDropsTheLastFourCharacters();
    void ratioText_data();
    void ratioText();
    void messages();
    void droppedFileIsTheFirstLocalFile();
};

void DecisionsTest::qualityLevelsSelectTheirWindows_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("window");
    QTest::newRow("0") << 0 << "Optimal" << 32767;
    QTest::newRow("1") << 1 << "Good" << 16383;
    QTest::newRow("2") << 2 << "Moderate" << 8191;
    QTest::newRow("3") << 3 << "Below average" << 4092;
    QTest::newRow("4") << 4 << "Poor" << 2048;
    QTest::newRow("5") << 5 << "Very Poor!" << 1024;
}

void DecisionsTest::qualityLevelsSelectTheirWindows() {
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(int, window);
    QCOMPARE(qualityText(index), text);
    const QualityChoice choice = chooseQuality(index);
    QCOMPARE(choice.window, window);
    QVERIFY(!choice.reportIndex);
}

void DecisionsTest::indexOutsideTheListIsReportedAndUsesTheSmallestWindow_data() {
    QTest::addColumn<int>("index");
    QTest::newRow("typed text") << -1;
    QTest::newRow("past the list") << 6;
    QTest::newRow("far below") << -7;
}

void DecisionsTest::indexOutsideTheListIsReportedAndUsesTheSmallestWindow() {
    QFETCH(int, index);
    const QualityChoice choice = chooseQuality(index);
    QCOMPARE(choice.window, 1024);
    QVERIFY(choice.reportIndex);
    QVERIFY(qualityText(index).isEmpty());
}

void DecisionsTest::editedTextDropsTheSelection() {
    QCOMPARE(editedComboIndex(2, "Moderate", "Moderate"), 2);
    QCOMPARE(editedComboIndex(2, "Moderately", "Moderate"), -1);
    QCOMPARE(editedComboIndex(0, "", "Optimal"), -1);
    QCOMPARE(editedComboIndex(0, "optimal", "Optimal"), -1);
    QCOMPARE(editedComboIndex(-1, "", ""), -1);
}

void DecisionsTest::compressedNameAppendsTheExtension() {
    QCOMPARE(compressedName("/tmp/data.txt"), QString("/tmp/data.txt.lzc"));
    QCOMPARE(compressedName(""), QString(".lzc"));
    QCOMPARE(compressedName("x.lzc"), QString("x.lzc.lzc"));
}

void DecisionsTest::restoredNameDropsTheLastFourCharacters_data() {
    QTest::addColumn<QString>("compressed");
    QTest::addColumn<bool>("named");
    QTest::addColumn<QString>("restored");
    QTest::newRow("lzc") << "report.doc.lzc" << true << "report.doc";
    QTest::newRow("other extension") << "archive.bin" << true << "archive";
    QTest::newRow("five") << "abcde" << true << "a";
    QTest::newRow("four") << "abcd" << true << "";
    QTest::newRow("three") << "abc" << false << "";
    QTest::newRow("one") << "a" << false << "";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("non-Latin") << QString::fromUtf8("отчёт.lzc") << true
                               << QString::fromUtf8("отчёт");
    // U+1F600 is one character but two UTF-16 units.
    QTest::newRow("surrogate pair") << QString::fromUtf8("a\xF0\x9F\x98\x80.lz") << true << "a";
    QTest::newRow("only surrogate pairs")
        << QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80") << false << "";
}

void DecisionsTest::restoredNameDropsTheLastFourCharacters() {
    QFETCH(QString, compressed);
    QFETCH(bool, named);
    QFETCH(QString, restored);
    const std::optional<QString> name = restoredName(compressed);
    QCOMPARE(name.has_value(), named);
    if (named) {
        QCOMPARE(*name, restored);
    }
}

void DecisionsTest::ratioText_data() {
    QTest::addColumn<int>("ratio");
    QTest::addColumn<QString>("text");
    QTest::newRow("8333") << 8333 << " 83.33";
    QTest::newRow("4560") << 4560 << " 45.6";
    QTest::newRow("10000") << 10000 << " 100";
    QTest::newRow("20000") << 20000 << " 200";
    QTest::newRow("3") << 3 << " .03";
    QTest::newRow("50") << 50 << " .5";
    QTest::newRow("100") << 100 << " 1";
    QTest::newRow("101") << 101 << " 1.01";
    QTest::newRow("110") << 110 << " 1.1";
    QTest::newRow("0") << 0 << " 0";
    QTest::newRow("largest") << 2147483647 << " 21474836.47";
    QTest::newRow("-1") << -1 << "-.01";
    QTest::newRow("-250") << -250 << "-2.5";
}

void DecisionsTest::ratioText() {
    QFETCH(int, ratio);
    QFETCH(QString, text);
    QCOMPARE(vellicor::ratioText(ratio), text);
}

void DecisionsTest::messages() {
    QCOMPARE(compressionMessage(8333), QString("Compressed Size: 83.33%"));
    QCOMPARE(compressionMessage(3), QString("Compressed Size: .03%"));
    QCOMPARE(compressionMessage(-1), QString("An error has occured during compression"));
    QCOMPARE(decompressionMessage(0), QString("Successfully decompressed"));
    QCOMPARE(decompressionMessage(-1), QString("An error has occured during (de)compression"));
    QCOMPARE(decompressionMessage(1), QString("An error has occured during (de)compression"));
}

void DecisionsTest::droppedFileIsTheFirstLocalFile() {
    QCOMPARE(droppedFileName({}), std::nullopt);
    QCOMPARE(droppedFileName({QUrl("https://example.org/a.txt")}), std::nullopt);
    const std::optional<QString> name =
        droppedFileName({QUrl("https://example.org/a.txt"), QUrl::fromLocalFile("/tmp/my file.txt"),
                         QUrl::fromLocalFile("/tmp/second.txt")});
    QCOMPARE(name, QString("/tmp/my file.txt"));
}

QTEST_APPLESS_MAIN(DecisionsTest)
#include "decisions_test.moc"
