#include "EError.h"
#include "TIdentObjectList.h"
#include "TIntegerList.h"
#include "TStrHashTable.h"

#include <gtest/gtest.h>

TEST(TStrHashTable, PutReplacesByExactName) {
    TStrHashTable table;
    table.put("T", "1");
    table.put("T", "4");
    ASSERT_EQ(table.count(), 1);
    EXPECT_EQ(table.valueOf("T"), "4");
    table.put("t", "5");
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(table.nameAt(1), "t");
    EXPECT_EQ(table.valueAt(1), "5");
    EXPECT_EQ(table.indexOfName("t"), 1);
    EXPECT_EQ(table.indexOfName("x"), -1);
    EXPECT_EQ(table.valueOf("x"), QString());
}

TEST(TStrHashTable, NameOfGivesTheLastHolderOfAValue) {
    TStrHashTable table;
    table.put("A", "4");
    table.put("B", "4");
    EXPECT_EQ(table.nameOf("4"), "B");
    EXPECT_EQ(table.nameOf("5"), QString());
}

struct Keyed {
    qint32 key;
};

using KeyedList = TIdentObjectList<Keyed>;
static KeyedList makeList() {
    return KeyedList([](const Keyed* k) { return k->key; });
}

TEST(TIdentObjectList, KeepsAscendingOrderAndRefusesDuplicateKeys) {
    Keyed five{5}, one{1}, three{3}, sevenA{7}, sevenB{7};
    KeyedList list = makeList();
    list.add(&five);
    list.add(&one);
    list.add(&three);
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.item(0), &one);
    EXPECT_EQ(list.item(1), &three);
    EXPECT_EQ(list.item(2), &five);

    const int first = list.add(&sevenA);
    EXPECT_EQ(list.add(&sevenB), first);
    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(list.item(list.find(7)), &sevenA);
    EXPECT_EQ(list.find(4), -1);
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

TEST(TIdentObjectList, KeysFarApartDoNotOverflowTheSearch) {
    // The program stores -2147483647 as a marker id next to ordinary positive ids.
    Keyed marker{-2147483647}, big{2147483647}, zero{0}, minusOne{-1};
    KeyedList list = makeList();
    for (Keyed* k : {&big, &marker, &zero, &minusOne})
        list.add(k);
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(list.item(0), &marker);
    EXPECT_EQ(list.item(3), &big);
    EXPECT_EQ(list.find(-2147483647), 0);
    EXPECT_EQ(list.find(2147483647), 3);
    EXPECT_EQ(list.find(1), -1);
}

TEST(TIdentObjectList, AddAllEqualsAddingOneByOne) {
    std::vector<Keyed> values{{9}, {2}, {9}, {-2147483647}, {2}, {5}, {2147483647}};
    std::vector<Keyed*> pointers;
    for (Keyed& k : values)
        pointers.push_back(&k);
    KeyedList oneByOne = makeList();
    for (Keyed* k : pointers)
        oneByOne.add(k);
    KeyedList bulk = makeList();
    bulk.addAll(pointers);
    ASSERT_EQ(bulk.count(), oneByOne.count());
    for (int i = 0; i < bulk.count(); ++i)
        EXPECT_EQ(bulk.item(i), oneByOne.item(i)) << i;
}

TEST(TIdentObjectList, RequiresAKeyFunction) {
    try {
        KeyedList list{KeyedList::KeyFunction()};
        FAIL() << "created without a key function";
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Не задана функция сравнения."));
    }
}

TEST(TIntegerList, IndexOfFindsTheFirstPosition) {
    TIntegerList list;
    for (qint32 v : {4, 8, 4})
        list.add(v);
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.indexOf(4), 0);
    EXPECT_EQ(list.indexOf(8), 1);
    EXPECT_EQ(list.indexOf(5), -1);
    EXPECT_EQ(list.valueAt(2), 4);
    EXPECT_THROW(list.valueAt(3), EError);
    EXPECT_THROW(list.valueAt(-1), EError);
    list.clear();
    EXPECT_EQ(list.count(), 0);
}
