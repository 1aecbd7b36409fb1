#include "DescriptionLoader.h"
#include "RecordingDatabase.h"
#include "TATreeDataCollection.h"
#include "TDbAttrCollection.h"
#include "TScriptedInteraction.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kHierarchy = R"(<book fName="Типы СИ">
    <dbAttr uid="1" name="id" tableName="tMiTypes" isPrimary="true" type="int"/>
    <dbAttr uid="2" name="ParentId" tableName="tMiTypes" linkPrimary="1"/>
    <dbAttr uid="3" name="fName" tableName="tMiTypes" linkPrimary="1"/>
</book>)";

const QByteArray kVersioned = R"(<book fname="Отделы" type="MSUL" view="v_ALL_MSUL_DEPARTMENT">
    <dbAttr uid="1" name="ID" tableName="MSUL_DEPARTMENT" isPrimary="true" type="int"/>
    <dbAttr uid="2" name="ENTITY_ID" tableName="MSUL_DEPARTMENT" linkPrimary="1"/>
    <dbAttr uid="3" name="ParentId" tableName="MSUL_DEPARTMENT" linkPrimary="1"/>
    <dbAttr uid="4" name="fName" tableName="MSUL_DEPARTMENT" linkPrimary="1"/>
</book>)";

using T = TSourceFieldType;

class TreeData : public ::testing::Test {
protected:
    // Queues the rows (id, parent, caption) as the answer to the book's SELECT.
    void queueRows(const std::vector<std::tuple<int, QVariant, QString>>& rows) {
        TScriptedResult result{
            {{"id", T::Integer, 0}, {"ParentId", T::Integer, 0}, {"fName", T::String, 100}}, {}, {}};
        for (const auto& [id, parent, caption] : rows)
            result.rows.push_back({id, parent, caption});
        database.connection().results.push_back(result);
    }

    TATreeDataCollectionItem* loadHierarchy(const std::vector<std::tuple<int, QVariant, QString>>& rows,
                                            bool expected = true) {
        queueRows(rows);
        EXPECT_EQ(tree.loadBook(folder.write("tMiTypes.xml", kHierarchy), true), expected);
        return tree.root()->firstChild();
    }

    static QStringList captions(const TATreeDataCollectionItem* parent) {
        QStringList result;
        for (const TATreeDataCollectionItem* c = parent->firstChild(); c; c = c->nextSibling())
            result << c->caption();
        return result;
    }

    RecordingDatabase database;
    TScriptedInteraction ui;
    TestFolder folder;
    TATreeDataCollection tree;
};

struct RecordingSink : TTreeNodeSink {
    QStringList lines;
    Node addNode(Node parent, const QString& caption, TATreeDataCollectionItem*) override {
        const QString* p = static_cast<const QString*>(parent);
        nodes.push_back(std::make_unique<QString>((p ? *p + "/" : QString()) + caption));
        lines << *nodes.back();
        return nodes.back().get();
    }
    std::vector<std::unique_ptr<QString>> nodes;
};

} // namespace

TEST_F(TreeData, SortedInsertionUsesCompareTextAndPutsEqualCaptionsFirst) {
    tree.setSortMode(TATreeDataCollection::Ascending);
    TATreeDataCollectionItem* b = tree.addItem(nullptr, "b", 1, nullptr);
    TATreeDataCollectionItem* upperA = tree.addItem(nullptr, "A", 2, nullptr);
    TATreeDataCollectionItem* lowerA = tree.addItem(nullptr, "a", 3, nullptr);
    EXPECT_EQ(captions(tree.root()), (QStringList{"a", "A", "b"}));
    EXPECT_EQ(lowerA->nextSibling(), upperA);
    EXPECT_EQ(b->nextSibling(), nullptr);

    tree.addItem(nullptr, QStringLiteral("б"), 4, nullptr);
    tree.addItem(nullptr, QStringLiteral("Б"), 5, nullptr); // Cyrillic case is not folded
    EXPECT_EQ(captions(tree.root()), (QStringList{"a", "A", "b", QStringLiteral("Б"), QStringLiteral("б")}));

    b->setCaption("0");
    EXPECT_EQ(captions(tree.root()).first(), "0");
    EXPECT_EQ(tree.root()->children().back()->nextSibling(), nullptr);

    TATreeDataCollection descending;
    descending.setSortMode(TATreeDataCollection::Descending);
    for (const char* c : {"b", "c", "a"})
        descending.addItem(nullptr, c, 0, nullptr);
    EXPECT_EQ(captions(descending.root()), (QStringList{"c", "b", "a"}));
}

TEST_F(TreeData, RecordsArePlacedLevelByLevelAndOrphansReported) {
    TATreeDataCollectionItem* book = loadHierarchy({{10, QVariant(), "Манометры"},
                                                    {20, 10, "МП-100"},
                                                    {30, 20, "МП-100 исп. 1"},
                                                    {40, 99, "Потерянный"}},
                                                   false);
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->caption(), QStringLiteral("Типы СИ")); // from fName when fname is absent
    EXPECT_EQ(book->id(), -1);
    const TATreeDataCollectionItem* level3 = tree.itemById(30);
    ASSERT_NE(level3, nullptr);
    EXPECT_EQ(level3->parent(), tree.itemById(20));
    EXPECT_EQ(tree.itemById(20)->parent(), tree.itemById(10));
    EXPECT_EQ(tree.itemById(10)->parent(), book);
    EXPECT_EQ(tree.itemById(40), nullptr);
    ASSERT_EQ(ui.errorLists.size(), 1);
    EXPECT_EQ(ui.errorLists.first(),
              QStringLiteral("Ошибка при постраении древовидного справочника, не найдены "
                             "вышестоящие уровни для следующих записей:\r\n4, \"Потерянный\"."));
    EXPECT_EQ(level3->pathText(false), QStringLiteral("Манометры - МП-100 - МП-100 исп. 1"));
    EXPECT_EQ(level3->pathText(true), QStringLiteral("Типы СИ - Манометры - МП-100 - МП-100 исп. 1"));
    EXPECT_EQ(tree.pathCaptions(30), (QStringList{QStringLiteral("Манометры"), QStringLiteral("МП-100"),
                                                  QStringLiteral("МП-100 исп. 1")}));
    EXPECT_EQ(tree.pathCaptions(10), QStringList{QStringLiteral("Манометры")});
    EXPECT_TRUE(tree.pathCaptions(-1).isEmpty()); // the book item itself
    EXPECT_TRUE(tree.pathCaptions(77).isEmpty());
    EXPECT_EQ(level3->fieldValue("fname").toString(), QStringLiteral("МП-100 исп. 1"));
    EXPECT_TRUE(level3->isUnder(book));
    EXPECT_TRUE(level3->isUnder(nullptr));
    EXPECT_FALSE(level3->isUnder(level3));
    EXPECT_FALSE(book->isUnder(level3));
}

TEST_F(TreeData, ParentCyclesAreReportedAndTheRestStays) {
    loadHierarchy({{1, QVariant(), "Корень"}, {2, 3, "A"}, {3, 2, "B"}, {4, 1, "C"}}, false);
    EXPECT_NE(tree.itemById(4), nullptr);
    ASSERT_EQ(ui.errorLists.size(), 1);
    EXPECT_TRUE(ui.errorLists.first().endsWith(":\r\n2, \"A\";\r\n3, \"B\"."))
        << ui.errorLists.first().toStdString();
}

TEST_F(TreeData, OneLevelBookInReverseRowOrder) {
    TATreeDataCollectionItem* book =
        loadHierarchy({{1, QVariant(), "a"}, {2, QVariant(), "b"}, {3, QVariant(), "c"}});
    EXPECT_EQ(captions(book), (QStringList{"c", "b", "a"}));
    EXPECT_TRUE(ui.errorLists.isEmpty());

    RecordingSink sink;
    tree.fillTreeView(book, sink, nullptr, true);
    EXPECT_EQ(sink.lines, (QStringList{"c", "b", "a"}));
    sink.lines.clear();
    tree.fillTreeView(tree.root()->firstChild(), sink, nullptr, false);
    EXPECT_EQ(sink.lines.first(), QStringLiteral("Типы СИ"));
    EXPECT_EQ(sink.lines.at(1), QStringLiteral("Типы СИ/c"));
}

TEST_F(TreeData, VersionedChildrenPointAtTheParentsEntity) {
    TScriptedResult rows{{{"ID", T::Integer, 0},
                          {"ENTITY_ID", T::Integer, 0},
                          {"ParentId", T::Integer, 0},
                          {"fName", T::String, 100}},
                         {{105, 5, QVariant(), QStringLiteral("Лаборатория")},
                          {106, 6, 5, QStringLiteral("Сектор давления")},
                          {107, 7, 105, QStringLiteral("Не под лабораторией")}},
                         {}};
    database.connection().results.push_back(rows);
    EXPECT_FALSE(tree.loadBook(folder.write("v_ALL_MSUL_DEPARTMENT.xml", kVersioned), false));
    ASSERT_NE(tree.itemById(106), nullptr);
    EXPECT_EQ(tree.itemById(106)->parent(), tree.itemById(105));
    EXPECT_EQ(tree.itemById(107), nullptr); // its ParentId is a key, not an entity
    EXPECT_TRUE(ui.errorLists.isEmpty());   // not asked to report
}

TEST_F(TreeData, ClearingAndDeletingKeepTheLinksWhole) {
    TATreeDataCollectionItem* book = loadHierarchy(
        {{1, QVariant(), "a"}, {2, 1, "a1"}, {3, 1, "a2"}, {4, 2, "a11"}, {5, QVariant(), "b"}});
    EXPECT_EQ(tree.count(), 6);
    tree.deleteItem(tree.indexOfId(1));
    EXPECT_EQ(tree.count(), 2);
    EXPECT_EQ(tree.itemById(4), nullptr);
    EXPECT_EQ(captions(book), QStringList{"b"});
    EXPECT_EQ(book->firstChild()->nextSibling(), nullptr);
    book->clearChildren();
    EXPECT_EQ(tree.count(), 1);
    EXPECT_EQ(book->firstChild(), nullptr);
    tree.deleteItem(0);
    EXPECT_EQ(tree.count(), 0);
    EXPECT_EQ(tree.root()->firstChild(), nullptr);
}

TEST_F(TreeData, FlatAndMissingBooks) {
    EXPECT_FALSE(tree.loadBook(folder.path() + "/absent.xml", true));
    EXPECT_FALSE(tree.loadBook(folder.write("empty.xml", ""), true));
    EXPECT_TRUE(tree.loadBook(
        folder.write("VAT.xml", R"(<b fname="НДС"><dbAttr uid="1" name="id" isPrimary="true"/></b>)"), true));
    EXPECT_EQ(tree.count(), 1);
    EXPECT_EQ(tree.items(0)->caption(), QStringLiteral("НДС"));
    EXPECT_TRUE(database.connection().statements.isEmpty()); // a flat book's records stay out of the tree

    database.connection().results.push_back(TScriptedResult::failure("no table", "208"));
    EXPECT_FALSE(tree.loadBook(folder.write("tMiTypes.xml", kHierarchy), true));
    EXPECT_TRUE(ui.errorLists.isEmpty());
}
