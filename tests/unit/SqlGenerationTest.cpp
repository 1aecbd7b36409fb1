#include "DescriptionLoader.h"
#include "EAbort.h"
#include "EOrtaException.h"
#include "RecordingDatabase.h"
#include "TMemoryData.h"
#include "TScriptedInteraction.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TXMLDBAttributeCollection> describe(const QByteArray& dbAttrs,
                                                    const QByteArray& rootAttributes = "") {
    TestFolder folder;
    auto c = TDescriptionLoader::loadDescription(
        folder.write("d.xml", "<book " + rootAttributes + ">" + dbAttrs + "</book>"));
    EXPECT_TRUE(c);
    return c;
}

// The worked example: a main table T joined to U.
const QByteArray kExample = R"(
    <dbAttr uid="1" name="ID" tableName="T" isPrimary="true" type="int"/>
    <dbAttr uid="2" name="NAME" tableName="T" linkPrimary="1" sortOrder="1" sortType="ASC"/>
    <dbAttr uid="3" name="U_ID" tableName="T" linkPrimary="1"/>
    <dbAttr uid="4" name="UKEY" tableName="U" isPrimary="true" joinAttr="3" joinType="LEFT"/>
    <dbAttr uid="5" name="CAPTION" linkPrimary="4" aliasname="UCAP"/>)";

QString lines(std::initializer_list<const char*> list) {
    QString text;
    for (const char* line : list)
        text += QString::fromUtf8(line) + "\r\n";
    return text;
}

class SqlGeneration : public ::testing::Test {
protected:
    RecordingDatabase database{TDbProvider::SqlServer};
    TRecordingConnection& connection = database.connection();
    TScriptedInteraction ui;
};

// A record set shaped like a book's SELECT, with one current row.
struct Record {
    TMemoryData data;
    Record(std::initializer_list<std::pair<const char*, TFieldType>> fields, const QVariantList& values) {
        for (const auto& [name, type] : fields)
            data.addField(name, type, 100);
        data.open();
        data.appendRecord(values);
        data.edit();
    }
};

} // namespace

TEST_F(SqlGeneration, TheWorkedExample) {
    auto c = describe(kExample);
    c->buildSelect();
    EXPECT_EQ(c->selectSQL, lines({"SELECT ", "T.ID,", "T.NAME,", "T.U_ID,", "U.UKEY,", "U.CAPTION As [UCAP]",
                                   " FROM ", "(", "T", " LEFT JOIN U AS U", " ON T.U_ID = ", "U.UKEY)"}));
    EXPECT_EQ(c->orderByText, " ORDER BY T.NAME");
    EXPECT_EQ(c->sqlSelectWhere(""), c->selectSQL + " ORDER BY T.NAME");
    EXPECT_EQ(c->sqlSelectWhere("T.ID=5"), c->selectSQL + " WHERE T.ID=5 ORDER BY T.NAME");
}

TEST_F(SqlGeneration, RepeatedJoinsShareOneAliasCounter) {
    auto c = describe(kExample + R"(
        <dbAttr uid="6" name="U2_ID" tableName="T" linkPrimary="1"/>
        <dbAttr uid="7" name="UKEY" tableName="U" isPrimary="true" joinAttr="6" joinType="INNER"/>
        <dbAttr uid="8" name="CAPTION" linkPrimary="7" aliasname="U2CAP"/>
        <dbAttr uid="9" name="UKEY" tableName="U" isPrimary="true" joinAttr="6" joinType="LEFT"/>
        <dbAttr uid="10" name="ID" tableName="T" isPrimary="true" joinAttr="3" joinType="LEFT"/>
        <dbAttr uid="11" name="NAME" linkPrimary="10" aliasname="SELFNAME"/>)");
    c->buildSelect();
    EXPECT_TRUE(c->selectSQL.contains(
        "U0.UKEY,\r\nU0.CAPTION As [U2CAP],\r\nU1.UKEY,\r\nT2.ID,\r\nT2.NAME As [SELFNAME]\r\n"))
        << c->selectSQL.toStdString();
    EXPECT_TRUE(c->selectSQL.contains(
        " FROM \r\n((((\r\nT\r\n LEFT JOIN U AS U\r\n ON T.U_ID = \r\nU.UKEY)\r\n"
        " INNER JOIN U AS U0\r\n ON T.U2_ID = \r\nU0.UKEY)\r\n LEFT JOIN U AS U1\r\n"
        " ON T.U2_ID = \r\nU1.UKEY)\r\n LEFT JOIN T AS T2\r\n ON T.U_ID = \r\nT2.ID)\r\n"))
        << c->selectSQL.toStdString();
}

TEST_F(SqlGeneration, SortItemsCalculatedColumnsAndTheLastComma) {
    auto c = describe(R"x(<dbAttr uid="1" name="ID" tableName="A" isPrimary="true" type="int"/>
        <dbAttr uid="2" name="Y" tableName="A" linkPrimary="1" sortOrder="10"/>
        <dbAttr uid="3" name="X" tableName="A" linkPrimary="1" sortOrder="2" sortType="ASC"/>
        <dbAttr uid="4" name="Z" tableName="A" linkPrimary="1" sortOrder="2" sortType="ASC"/>
        <dbAttr uid="5" name="C" kind="calculated" type="int" linkPrimary="1"/>
        <dbAttr uid="6" name="L" kind="lookup" type="varchar(50)" aliasname="LA" linkPrimary="1"/>)x");
    c->buildSelect();
    EXPECT_EQ(c->orderByText, " ORDER BY A.X,A.Z,A.Y DESC");
    EXPECT_TRUE(c->selectSQL.contains(
        "\r\ncast( null as int) as [C],\r\ncast( null as varchar(50)) As [LA]\r\n FROM "))
        << c->selectSQL.toStdString();
}

// Equal sort orders go by CompareText, which folds only Latin letters to upper case: "K" < "_".
TEST_F(SqlGeneration, EqualSortOrdersGoByCompareText) {
    auto c = describe(R"x(<dbAttr uid="1" name="ID" tableName="T" isPrimary="true" type="int"/>
        <dbAttr uid="2" name="U_ID" tableName="T" linkPrimary="1" sortOrder="1" sortType="ASC"/>
        <dbAttr uid="3" name="ukey" tableName="T" linkPrimary="1" sortOrder="1" sortType="ASC"/>)x");
    c->buildSelect();
    EXPECT_EQ(c->orderByText, " ORDER BY T.ukey,T.U_ID");
}

TEST_F(SqlGeneration, VersionedBookReadsThroughItsViewUnderTheTableName) {
    auto c = describe(R"(<dbAttr uid="1" name="ID" tableName="T" isPrimary="true" type="int"/>
                         <dbAttr uid="2" name="FNAME" tableName="T" linkPrimary="1"/>)",
                      R"(type="MSUL" view="V")");
    c->buildSelect();
    EXPECT_TRUE(c->selectSQL.endsWith(" FROM \r\n\r\nV T\r\n")) << c->selectSQL.toStdString();
}

TEST_F(SqlGeneration, JoinOnAColumnOfNoTableIsRejected) {
    auto c = describe(R"(<dbAttr uid="1" name="ID" tableName="T" isPrimary="true"/>
                         <dbAttr uid="2" name="LOOSE"/>
                         <dbAttr uid="3" name="UKEY" tableName="U" isPrimary="true" joinAttr="2" joinType="LEFT"/>)");
    EXPECT_THROW(c->buildSelect(), EOrtaException);
}

TEST_F(SqlGeneration, SelectFillsTheCacheOrLogsAndRaises) {
    auto c = describe(kExample);
    connection.results.push_back(
        {{{"ID", TSourceFieldType::Integer, 0}, {"NAME", TSourceFieldType::String, 50}},
         {{7, "a"}, {3, "b"}},
         {}});
    c->sqlSelect();
    EXPECT_EQ(connection.statements.last(), c->selectSQL + "\r\n ORDER BY T.NAME\r\n");
    EXPECT_EQ(c->records()->recordCount(), 2);
    EXPECT_EQ(c->recNoById(3), 2);

    connection.results.push_back(TScriptedResult::failure("Invalid object name 'T'.", "208"));
    EXPECT_THROW(c->sqlSelect(), EDBException);
}

TEST_F(SqlGeneration, CheckRequiredSkipsIntegerKeysAndStopsAtTheFirstGap) {
    auto c =
        describe(R"(<dbAttr uid="1" name="ID" tableName="T" isPrimary="true" type="INT" nullAllowed="false"/>
        <dbAttr uid="2" name="NAME" tableName="T" linkPrimary="1" nullAllowed="false" fname="Наименование"/>
        <dbAttr uid="3" name="CODE" tableName="T" linkPrimary="1" nullAllowed="false" fname="Код"/>)");
    Record r({{"ID", TFieldType::Integer}, {"NAME", TFieldType::String}, {"CODE", TFieldType::String}},
             {QVariant(), QVariant(), QVariant()});
    EXPECT_FALSE(c->checkRequired(r.data));
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Поле \"Наименование\" не может быть пустым")});
    r.data.fieldByName("NAME")->setValue("x");
    r.data.fieldByName("CODE")->setValue("1");
    EXPECT_TRUE(c->checkRequired(r.data));
}

TEST_F(SqlGeneration, InsertAndUpdateWriteOnlyTheMainTablesColumns) {
    auto c = describe(kExample + R"(<dbAttr uid="6" name="SHORT" aliasname="S" tableName="T" linkPrimary="1"/>
                                    <dbAttr uid="7" name="CALC" kind="calculated" type="int" linkPrimary="1"/>)");
    Record r({{"ID", TFieldType::Integer},
              {"NAME", TFieldType::String},
              {"U_ID", TFieldType::Integer},
              {"UKEY", TFieldType::Integer},
              {"UCAP", TFieldType::String},
              {"S", TFieldType::String},
              {"CALC", TFieldType::Integer}},
             {5, "Манометр's", 3, 3, "joined", "M", 1});
    connection.results = {TScriptedResult{{{"", TSourceFieldType::Decimal, 0}}, {{44.0}}, {}}};
    c->sqlInsert(r.data);
    // On SQL Server a scope is a batch: SCOPE_IDENTITY() is read in the INSERT's own batch.
    EXPECT_EQ(connection.statements,
              QStringList{"INSERT INTO T WITH (ROWLOCK) ( SHORT,U_ID,NAME) select 'M',3,'Манометр''s'\r\n"
                          "SELECT SCOPE_IDENTITY()"});
    EXPECT_EQ(r.data.fieldByName("ID")->asInteger(), 44);

    connection.statements.clear();
    c->sqlUpdate(r.data);
    // The key has no linkPrimary: it is not written.
    EXPECT_EQ(
        connection.statements,
        QStringList{
            "UPDATE T WITH (ROWLOCK)  SET \r\nNAME='Манометр''s', U_ID=3, SHORT='M'\r\n WHERE ID=44\r\n"});
}

TEST_F(SqlGeneration, VersionedWritesInsertVersionsAndMarkTheOldOnes) {
    auto c = describe(R"(<dbAttr uid="1" name="ID" tableName="T" isPrimary="true" type="int"/>
        <dbAttr uid="2" name="ENTITY_ID" tableName="T" linkPrimary="1"/>
        <dbAttr uid="3" name="FNAME" tableName="T" linkPrimary="1"/>)",
                      R"(type="MSUL" view="V")");
    Record r({{"ID", TFieldType::Integer}, {"ENTITY_ID", TFieldType::Integer}, {"FNAME", TFieldType::String}},
             {QVariant(), QVariant(), "Отдел"});
    const TScriptedResult identity{{{"", TSourceFieldType::Decimal, 0}}, {{9.0}}, {}};
    connection.results = {identity};
    c->sqlInsert(r.data);
    EXPECT_EQ(
        connection.statements,
        QStringList{
            "INSERT INTO T WITH (ROWLOCK) ( FNAME,ENTITY_ID,CREATE_DATE,CREATION_ID) select "
            "'Отдел',-1,GETDATE(),1\r\n"
            "UPDATE T WITH (ROWLOCK)  SET \r\nENTITY_ID=SCOPE_IDENTITY()\r\n WHERE ID=SCOPE_IDENTITY()\r\n"
            "\r\nSELECT SCOPE_IDENTITY()"});
    EXPECT_EQ(r.data.fieldByName("ID")->asInteger(), 9);
    EXPECT_EQ(r.data.fieldByName("ENTITY_ID")->asInteger(), 9);

    connection.statements.clear();
    connection.results = {TScriptedResult{{{"", TSourceFieldType::Decimal, 0}}, {{10.0}}, {}},
                          TScriptedResult{}};
    c->sqlUpdate(r.data);
    EXPECT_EQ(
        connection.statements,
        (QStringList{
            "INSERT INTO T WITH (ROWLOCK) ( FNAME,ENTITY_ID,CREATE_DATE,CREATION_ID) select "
            "'Отдел',9,GETDATE(),1\r\nSELECT SCOPE_IDENTITY()",
            "UPDATE T WITH (ROWLOCK)  SET \r\nDELETION_ID=1, DELETE_DATE=GETDATE()\r\n WHERE ID=9\r\n"}));
    EXPECT_EQ(r.data.fieldByName("ID")->asInteger(), 10);

    connection.statements.clear();
    c->sqlDelete(r.data);
    c->sqlDeleteById("FNAME", 3);
    EXPECT_EQ(connection.statements,
              (QStringList{"UPDATE T SET DELETE_DATE=GETDATE(), DELETION_ID=1 WHERE ID=10",
                           "UPDATE T SET DELETE_DATE=GETDATE(), DELETION_ID=1 WHERE FNAME=3"}));
}

TEST_F(SqlGeneration, WithoutAKeyWritesAbortSilently) {
    auto c =
        describe(R"(<dbAttr uid="1" name="NAME" tableName="T"/><dbAttr uid="2" name="CODE" tableName="T"/>)");
    Record r({{"NAME", TFieldType::String}, {"CODE", TFieldType::Integer}}, {"a", 1});
    EXPECT_THROW(c->sqlInsert(r.data), EAbort);
    EXPECT_THROW(c->sqlUpdate(r.data), EAbort);
    EXPECT_THROW(c->sqlDelete(r.data), EAbort);
    EXPECT_TRUE(connection.statements.isEmpty());
    c->sqlDeleteById("CODE",
                     4); // the field belongs to the main table... which has no key: nothing to delete by
    c->sqlDeleteById("OTHER", 4);
    EXPECT_TRUE(connection.statements.isEmpty());

    auto keyed = describe(R"(<dbAttr uid="1" name="CODE" tableName="T" isPrimary="true" type="INT"/>
                             <dbAttr uid="2" name="NAME" tableName="T" linkPrimary="1"/>)");
    Record k({{"CODE", TFieldType::Integer}, {"NAME", TFieldType::String}}, {5, "a"});
    keyed->sqlUpdate(k.data);
    EXPECT_EQ(connection.statements.last(),
              "UPDATE T WITH (ROWLOCK)  SET \r\nNAME='a'\r\n WHERE CODE='5'\r\n");
    keyed->sqlDeleteById("CODE", 5);
    EXPECT_EQ(connection.statements.last(), "DELETE FROM T WHERE CODE=5");
    keyed->sqlDelete(k.data);
    EXPECT_EQ(connection.statements.last(), "DELETE FROM T WHERE CODE=5");
}

TEST_F(SqlGeneration, LookupSelectListsKeyAndResult) {
    auto c = describe(R"(<dbAttr uid="1" name="ID" tableName="T" isPrimary="true"/>
        <dbAttr uid="2" name="UnitName" kind="lookup" LookupKey="id;code" LookupResult="sName" LookupTable="MsrUnit"/>
        <dbAttr uid="3" name="Odd" kind="lookup" LookupKey="&quot;my key&quot;" LookupResult="a,b" LookupTable="v_MSUL_X"/>)");
    EXPECT_EQ(TDbAttrCollection::lookupSelect(*c->items(1)), "SELECT id,code,sName FROM MsrUnit");
    EXPECT_EQ(TDbAttrCollection::lookupSelect(*c->items(2)), "SELECT \"my key\",\"a,b\" FROM v_MSUL_X");
    EXPECT_EQ(TDbAttrCollection::lookupSelect(*c->items(0)), QString());
}

// The catalogue's group descriptions name no table: they have no SELECT, and reading them sends
// nothing.
TEST_F(SqlGeneration, ADescriptionWithoutATableHasNoSelect) {
    for (const char* group : {"GroupAccess", "GroupCentralRegister"}) {
        auto c = TDescriptionLoader::loadDescription(installedBookFile(group));
        ASSERT_TRUE(c) << group;
        EXPECT_EQ(c->sqlSelectWhere(""), QString()) << group;
        EXPECT_EQ(c->sqlSelectWhere("id=1"), QString()) << group;
        EXPECT_THROW(c->sqlSelect(), EOrtaException) << group;
    }
    EXPECT_TRUE(connection.statements.isEmpty()) << connection.statements.join("\n").toStdString();
}
