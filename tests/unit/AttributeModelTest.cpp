#include "DescriptionLoader.h"
#include "EDataSetError.h"
#include "TMemoryData.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TXMLDBAttributeCollection> load(const QByteArray& xml) {
    TestFolder folder;
    auto c = TDescriptionLoader::loadDescription(folder.write("book.xml", xml));
    EXPECT_TRUE(c);
    return c;
}

// A book with its own columns, a joined table with a column of its own, a calculated and a lookup column.
const QByteArray kBook = R"(<book fname="Типы">
    <dbAttr uid="1" name="id" tableName="tMiTypes" isPrimary="true" type="int" linkPrimary="1"/>
    <dbAttr uid="2" name="fName" tableName="tMiTypes" linkPrimary="1" fname="Наименование"/>
    <dbAttr uid="3" name="ParentId" tableName="tMiTypes" linkPrimary="1" type="int"/>
    <dbAttr uid="4" name="FormTypeId" tableName="tMiTypes" linkPrimary="1" invisible="true"/>
    <dbAttr uid="5" name="id" tableName="tFormTypes" isPrimary="true" type="int" joinAttr="4" joinType="LEFT"/>
    <dbAttr uid="6" name="fName" aliasname="FormName" tableName="tFormTypes" linkPrimary="5"/>
    <dbAttr uid="7" name="Docs" kind="calculated" linkPrimary="1"/>
    <dbAttr uid="8" name="Unit" kind="lookup" linkPrimary="1"/>
    <dbAttr uid="9" name="Code" tableName="tMiTypes"/>
</book>)";

void fillCache(TDbAttrCollection& c, const std::vector<std::pair<int, QString>>& rows) {
    TMemoryData& records = c.ensureRecords();
    records.close();
    records.clearFields();
    records.addField("id", TFieldType::Integer);
    records.addField("fName", TFieldType::String, 50);
    records.open();
    for (const auto& [id, name] : rows)
        records.appendRecord({id, name});
    c.rebuildIndex();
}

} // namespace

TEST(AttributeModel, RolesOfTheAttributes) {
    auto c = load(kBook);
    EXPECT_EQ(c->mainTableName(), "tMiTypes");
    EXPECT_EQ(c->keyAttribute(), c->items(0));
    EXPECT_EQ(c->keyFieldName(), "id");
    EXPECT_TRUE(c->hasAttribute("PARENTID"));
    EXPECT_TRUE(c->isHierarchical());
    EXPECT_FALSE(c->hasAttribute("Parent"));

    std::vector<TDbAttribute*> writable = c->writableAttributes();
    EXPECT_EQ(writable, (std::vector<TDbAttribute*>{c->items(0), c->items(1), c->items(2), c->items(3)}));
    // visible, not an integer key, not parentId
    EXPECT_EQ(c->gridAttributeIndexes(), (std::vector<int>{1, 5, 6, 7, 8}));

    EXPECT_EQ(c->findAttribute("TFORMTYPES", "FNAME"), c->items(5));
    EXPECT_EQ(c->findAttribute("tMiTypes", "fName"), c->items(1));
    EXPECT_EQ(c->findAttribute("tMiTypes", "nothing"), nullptr);
    EXPECT_EQ(c->attributeByUid(6), c->items(5));
    EXPECT_EQ(c->attributeByUid(60), nullptr);
    EXPECT_TRUE(c->items(6)->isCalculated());
    EXPECT_TRUE(c->items(7)->isLookup());
    EXPECT_EQ(c->items(5)->fieldName(), "FormName");
}

TEST(AttributeModel, TwoMainKeysPickDifferentAttributesForKeyAndTable) {
    auto c = load(R"(<b><dbAttr uid="1" name="a" tableName="First" isPrimary="true"/>
                       <dbAttr uid="2" name="b" tableName="Second" isPrimary="true"/></b>)");
    EXPECT_EQ(c->keyAttribute(), c->items(1));
    EXPECT_EQ(c->mainTableName(), "First");
}

TEST(AttributeModel, EmptyDescriptionAnswersNone) {
    auto c = load(R"(<b><x/></b>)");
    EXPECT_EQ(c->keyAttribute(), nullptr);
    EXPECT_EQ(c->keyFieldName(), QString());
    EXPECT_EQ(c->mainTableName(), QString());
    EXPECT_TRUE(c->writableAttributes().empty());
    EXPECT_EQ(c->recNoById(1), -1);
    EXPECT_FALSE(c->cachedValue("id", 1).isValid());
}

struct IntegerKeyCase {
    const char* type;
    bool isPrimary;
    bool integerKey;
};

class IntegerKey : public ::testing::TestWithParam<IntegerKeyCase> {};

TEST_P(IntegerKey, NeedsAPrimaryIntColumn) {
    TDbAttribute a;
    a.type = GetParam().type;
    a.isPrimary = GetParam().isPrimary;
    EXPECT_EQ(a.isIntegerKey(), GetParam().integerKey);
}

INSTANTIATE_TEST_SUITE_P(Cases, IntegerKey,
                         ::testing::Values(IntegerKeyCase{"int", true, true},
                                           IntegerKeyCase{"INT", true, true},
                                           IntegerKeyCase{"bigint", true, false},
                                           IntegerKeyCase{"int", false, false},
                                           IntegerKeyCase{"", true, false}));

TEST(AttributeModel, ConstructedAttributeDefaults) {
    const TDbAttribute a;
    EXPECT_FALSE(a.nullAllowed || a.isPrimary || a.visible);
    EXPECT_TRUE(a.sortAsc);
    EXPECT_EQ(a.kind, TDbAttrKind::Data);
    EXPECT_EQ(a.linkPrimary, nullptr);
    EXPECT_EQ(a.uid, 0);
}

TEST(RecordCache, CachedValueAndIndex) {
    auto c = load(kBook);
    fillCache(*c, {{30, "Манометры"}, {10, "Термометры"}, {30, "Дубль"}, {-2147483647, "Маркер"}});
    EXPECT_EQ(c->recNoById(30), 1); // the earlier of two rows with one id
    EXPECT_EQ(c->recNoById(10), 2);
    EXPECT_EQ(c->recNoById(-2147483647), 4);
    EXPECT_EQ(c->recNoById(11), -1);
    EXPECT_EQ(c->idIndex.count(), 3);
    EXPECT_EQ(c->copyRecordIndex(),
              (std::vector<TRecordIndexEntry>{{1, 30}, {2, 10}, {3, 30}, {4, -2147483647}}));

    EXPECT_FALSE(c->cachedValue("fName", 0).isValid());
    EXPECT_FALSE(c->cachedValue("fName", 5).isValid());
    EXPECT_FALSE(c->cachedValue("nothing", 1).isValid());
    EXPECT_EQ(c->cachedValue("FNAME", 2).toString(), QStringLiteral("Термометры"));
    EXPECT_EQ(c->records()->recNo(), 2);
}

TEST(RecordCache, SyncCacheMirrorsEditsAppendsAndDeletes) {
    auto c = load(kBook);
    fillCache(*c, {{1, "a"}, {2, "b"}});

    TMemoryData record;
    record.addField("ID", TFieldType::Integer);
    record.addField("fname", TFieldType::String, 50);
    record.addField("Other", TFieldType::Integer);
    record.open();
    record.appendRecord({2, "changed", 7});

    c->syncCache(2, record, TDbAttrCollection::TSyncAction::Edit);
    EXPECT_EQ(c->cachedValue("fName", 2).toString(), "changed");

    record.edit();
    record.fieldByName("id")->setValue(5);
    record.fieldByName("fName")->setValue("new");
    record.post();
    c->syncCache(5, record, TDbAttrCollection::TSyncAction::Append);
    EXPECT_EQ(c->recNoById(5), 3);
    EXPECT_EQ(c->cachedValue("fName", 3).toString(), "new");

    c->syncCache(1, record, TDbAttrCollection::TSyncAction::Delete);
    EXPECT_EQ(c->records()->recordCount(), 2);
    EXPECT_EQ(c->recNoById(1), -1);
    EXPECT_EQ(c->recNoById(2), 1);
    EXPECT_EQ(c->recNoById(5), 2);

    c->syncCache(99, record, TDbAttrCollection::TSyncAction::Edit); // absent id: nothing
    c->syncCache(99, record, TDbAttrCollection::TSyncAction::Delete);
    EXPECT_EQ(c->records()->recordCount(), 2);
}

TEST(RecordCache, WithoutCacheSyncDoesNothingAndMissingKeyFieldRaises) {
    auto c = load(kBook);
    TMemoryData record;
    record.addField("id", TFieldType::Integer);
    record.open();
    c->syncCache(1, record, TDbAttrCollection::TSyncAction::Append);
    EXPECT_EQ(c->records(), nullptr);

    TMemoryData& records = c->ensureRecords();
    records.addField("code", TFieldType::Integer);
    records.open();
    records.appendRecord({1});
    EXPECT_THROW(c->rebuildIndex(), EDataSetError);
}
