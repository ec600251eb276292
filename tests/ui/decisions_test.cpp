// The window's decisions, without widgets: file names, the ratio text, the edited quality box.
#include <QTest>

#include "vellicor/decisions.h"

using namespace vellicor;

class DecisionsTest : public QObject {
    Q_OBJECT

private slots:
    void restoredNameDropsTheLastFourCharacters();
    void ratioText();
    void editedQualityTextAndDrops();
};

void DecisionsTest::restoredNameDropsTheLastFourCharacters() {
    const std::pair<QString, std::optional<QString>> cases[] = {
        {"report.doc.lzc", "report.doc"},
        {"archive.bin", "archive"},
        {"abcd", ""},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {QString::fromUtf8("отчёт.lzc"), QString::fromUtf8("отчёт")},
        // U+1F600 is one character but two UTF-16 units.
        {QString::fromUtf8("a\xF0\x9F\x98\x80.lz"), "a"},
        {QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80"), std::nullopt},
    };
    for (const auto& [compressed, restored] : cases) {
        QCOMPARE(restoredName(compressed), restored);
    }
}

void DecisionsTest::ratioText() {
    const std::pair<int, QString> cases[] = {
        {8333, " 83.33"}, {4560, " 45.6"}, {10000, " 100"},
        {20000, " 200"},  {3, " .03"},     {50, " .5"},
        {101, " 1.01"},   {0, " 0"},       {2147483647, " 21474836.47"},
        {-250, "-2.5"},
    };
    for (const auto& [ratio, text] : cases) {
        QCOMPARE(vellicor::ratioText(ratio), text);
    }
}

void DecisionsTest::editedQualityTextAndDrops() {
    QCOMPARE(editedComboIndex(0, "optimal", "Optimal"), -1);  // the window types "Best"
    QCOMPARE(editedComboIndex(-1, "", ""), -1);

    QVERIFY(!droppedFileName({QUrl("https://example.org/a.txt")}));
    QCOMPARE(droppedFileName({QUrl("https://example.org/a.txt"), QUrl::fromLocalFile("/tmp/a b"),
                              QUrl::fromLocalFile("/tmp/c")}),
             QString("/tmp/a b"));
}

QTEST_APPLESS_MAIN(DecisionsTest)
#include "decisions_test.moc"
