#include "TextHelpers.h"
#include "EConvertError.h"

#include <gtest/gtest.h>

struct CompareCase {
    const char* a;
    const char* b;
    int sign;
};

class CompareTextOrder : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareTextOrder, FollowsWindows1251CodesFoldingOnlyLatin) {
    const CompareCase& c = GetParam();
    const int result = compareText(QString::fromUtf8(c.a), QString::fromUtf8(c.b));
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompareTextOrder,
    ::testing::Values(CompareCase{"abc", "ABC", 0}, // Latin letters fold
                      CompareCase{"абв", "АБВ", 1}, // Cyrillic does not: lower case codes are higher
                      CompareCase{"Z", "А", -1},    // Latin before Cyrillic
                      CompareCase{"Ё", "А", -1},    // Ё is 0xA8, before А (0xC0)
                      CompareCase{"я", "а", 1}, CompareCase{"Ab", "abc", -1}, // a prefix goes first
                      CompareCase{"", "", 0}, CompareCase{"_", "a", 1})); // 0x5F is above the folded A (0x41)

TEST(TextHelpers, Windows1251RoundTripsCyrillic) {
    const QString text = QStringLiteral("Средства измерений №5 «ёлка»");
    const QByteArray bytes = toWindows1251(text);
    EXPECT_EQ(bytes.size(), text.size());
    EXPECT_EQ(static_cast<unsigned char>(bytes.at(0)), 0xD1); // С
    EXPECT_EQ(fromWindows1251(bytes), text);
    EXPECT_EQ(windows1251Code(QChar(0x4E2D)), '?');
}

TEST(TextHelpers, SplitTextGivesOneMorePieceThanSeparators) {
    EXPECT_EQ(splitText(QString(), QStringLiteral(",")), QStringList{QString()});
    EXPECT_EQ(splitText(QStringLiteral("a,b,"), QStringLiteral(",")), (QStringList{"a", "b", ""}));
    EXPECT_EQ(splitText(QStringLiteral(",,"), QStringLiteral(",")), (QStringList{"", "", ""}));
    EXPECT_EQ(splitText(QStringLiteral("10;20;30"), QStringLiteral(";")), (QStringList{"10", "20", "30"}));
    EXPECT_EQ(splitText(QStringLiteral("a::b"), QStringLiteral("::")), (QStringList{"a", "b"}));
}

TEST(TextHelpers, TrimRemovesBlanksAndControlCharacters) {
    EXPECT_EQ(trimBlanks(QStringLiteral(" \t\r\nfalse \x01")), QStringLiteral("false"));
    EXPECT_EQ(trimBlanks(QStringLiteral("a b")), QStringLiteral("a b"));
}

TEST(TextHelpers, IntegerConversion) {
    EXPECT_EQ(strToInt(QStringLiteral("42")), 42);
    EXPECT_EQ(strToInt(QStringLiteral("  -2147483648")), std::numeric_limits<qint32>::min());
    EXPECT_EQ(strToInt(QStringLiteral("2147483647")), std::numeric_limits<qint32>::max());
    for (const char* bad : {"", "12a", "2147483648", "1.5", "- 1", "5 "}) {
        try {
            strToInt(QString::fromLatin1(bad));
            ADD_FAILURE() << "accepted " << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.message(),
                      QStringLiteral("'%1' is not a valid integer value").arg(QString::fromLatin1(bad)));
        }
    }
    EXPECT_EQ(strToIntDef(QStringLiteral("x"), 7), 7);
}
