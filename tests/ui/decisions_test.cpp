// The window's decisions, without widgets: file names, the ratio text, the edited quality box.
#include <QTest>

#include "vellicor/decisions.h"
#include "vellicor/progress_shapes.h"

using namespace vellicor;

class DecisionsTest : public QObject {
    Q_OBJECT

private slots:
    void restoredNameDropsTheLastFourCharacters_data();
    void restoredNameDropsTheLastFourCharacters();
    void ratioText_data();
    void ratioText();
    void editedQualityTextAndDrops();
    void twipsFollowTheDpi_data();
    void twipsFollowTheDpi();
};

void DecisionsTest::restoredNameDropsTheLastFourCharacters_data() {
    QTest::addColumn<QString>("compressed");
    QTest::addColumn<bool>("named");
    QTest::addColumn<QString>("restored");
    QTest::newRow("lzc") << "report.doc.lzc" << true << "report.doc";
    QTest::newRow("other extension") << "archive.bin" << true << "archive";
    QTest::newRow("four") << "abcd" << true << "";
    QTest::newRow("three") << "abc" << false << "";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("non-Latin") << QString::fromUtf8("отчёт.lzc") << true
                               << QString::fromUtf8("отчёт");
    // U+1F600 is one character but two UTF-16 units.
    QTest::newRow("surrogate pair") << QString::fromUtf8("a\xF0\x9F\x98\x80.lz") << true << "a";
    QTest::newRow("three surrogate pairs")
        << QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80") << false << "";
}

void DecisionsTest::restoredNameDropsTheLastFourCharacters() {
    QFETCH(QString, compressed);
    QFETCH(bool, named);
    QFETCH(QString, restored);
    const std::optional<QString> name = restoredName(compressed);
    QCOMPARE(name.has_value(), named);
    QCOMPARE(name.value_or(QString()), restored);
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
    QTest::newRow("101") << 101 << " 1.01";
    QTest::newRow("0") << 0 << " 0";
    QTest::newRow("largest") << 2147483647 << " 21474836.47";
    QTest::newRow("-250") << -250 << "-2.5";
}

void DecisionsTest::ratioText() {
    QFETCH(int, ratio);
    QFETCH(QString, text);
    QCOMPARE(vellicor::ratioText(ratio), text);
}

void DecisionsTest::editedQualityTextAndDrops() {
    QCOMPARE(editedComboIndex(2, "Moderate", "Moderate"), 2);
    QCOMPARE(editedComboIndex(2, "Moderately", "Moderate"), -1);
    QCOMPARE(editedComboIndex(0, "optimal", "Optimal"), -1);
    QCOMPARE(editedComboIndex(-1, "", ""), -1);

    QVERIFY(!droppedFileName({QUrl("https://example.org/a.txt")}));
    QCOMPARE(droppedFileName({QUrl("https://example.org/a.txt"), QUrl::fromLocalFile("/tmp/a b"),
                              QUrl::fromLocalFile("/tmp/c")}),
             QString("/tmp/a b"));
}

void DecisionsTest::twipsFollowTheDpi_data() {
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("pixels");
    QTest::newRow("form at 96") << 4680 << 96 << 312;
    QTest::newRow("form at 120") << 4680 << 120 << 390;
    QTest::newRow("form at 144") << 4680 << 144 << 468;
    QTest::newRow("button at 192") << 375 << 192 << 50;
    QTest::newRow("rounded down") << 1455 << 96 << 97;
}

void DecisionsTest::twipsFollowTheDpi() {
    QFETCH(int, twips);
    QFETCH(int, dpi);
    QFETCH(int, pixels);
    QCOMPARE(twipsToPixels(twips, dpi), pixels);
}

QTEST_APPLESS_MAIN(DecisionsTest)
#include "decisions_test.moc"
