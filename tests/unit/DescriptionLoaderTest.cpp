#include "DescriptionLoader.h"
#include "EConvertError.h"
#include "EXmlError.h"
#include "TXmlDocument.h"
#include "TestFiles.h"
#include "TextHelpers.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TXMLDBAttributeCollection> loadText(const TestFolder& folder, const QByteArray& xml,
                                                    const QString& name = "book.xml") {
    return TDescriptionLoader::loadDescription(folder.write(name, xml));
}

// One dbAttr with the given attribute text, after a key attribute with uid 1.
TDbAttribute loadSingle(const QByteArray& attributes) {
    TestFolder folder;
    auto c = loadText(folder,
                      "<book><dbAttr uid=\"1\" name=\"id\"/><dbAttr uid=\"2\" " + attributes + "/></book>");
    EXPECT_TRUE(c);
    EXPECT_EQ(c->count(), 2);
    TDbAttribute copy = *c->items(1);
    copy.linkPrimary = copy.parentAttr = copy.joinAttr = nullptr;
    return copy;
}

} // namespace

struct FlagCase {
    const char* attributes;
    bool nullAllowed, isPrimary, visible, sortAsc;
    TDbAttrKind kind;
};

class DbAttrFlags : public ::testing::TestWithParam<FlagCase> {};

TEST_P(DbAttrFlags, ReadAsTheFileFormatSays) {
    const FlagCase& c = GetParam();
    const TDbAttribute a = loadSingle(c.attributes);
    EXPECT_EQ(a.nullAllowed, c.nullAllowed);
    EXPECT_EQ(a.isPrimary, c.isPrimary);
    EXPECT_EQ(a.visible, c.visible);
    EXPECT_EQ(a.sortAsc, c.sortAsc);
    EXPECT_EQ(a.kind, c.kind);
}

using K = TDbAttrKind;
INSTANTIATE_TEST_SUITE_P(Cases, DbAttrFlags,
                         ::testing::Values(
                             // absent: optional, not a key, visible, descending, data
                             FlagCase{"", true, false, true, false, K::Data},
                             FlagCase{"nullAllowed=\"false\"", false, false, true, false, K::Data},
                             FlagCase{"nullAllowed=\"False\"", true, false, true, false, K::Data},
                             FlagCase{"nullAllowed=\"  false \"", false, false, true, false, K::Data},
                             FlagCase{"isPrimary=\"true\"", true, true, true, false, K::Data},
                             FlagCase{"isPrimary=\"True\"", true, false, true, false, K::Data},
                             FlagCase{"invisible=\"true\"", true, false, false, false, K::Data},
                             FlagCase{"invisible=\"TRUE\"", true, false, true, false, K::Data},
                             FlagCase{"sortOrder=\"1\" sortType=\"ASC\"", true, false, true, true, K::Data},
                             FlagCase{"sortOrder=\"1\" sortType=\"asc\"", true, false, true, false, K::Data},
                             FlagCase{"sortType=\" ASC \"", true, false, true, true, K::Data},
                             FlagCase{"kind=\"Lookup\"", true, false, true, false, K::Lookup},
                             FlagCase{"kind=\" calculated \"", true, false, true, false, K::Calculated},
                             FlagCase{"kind=\"data\"", true, false, true, false, K::Data},
                             FlagCase{"kind=\"formula\"", true, false, true, false, K::Data}));

TEST(DescriptionLoader, ReadsTextsAndNumbers) {
    const TDbAttribute a =
        loadSingle("name=\" Name \" aliasname=\"N\" tableName=\"tMiTypes\" joinType=\"LEFT\" "
                   "type=\"varchar\" sname=\" short \" "
                   "fname=\"  Наименование \" size=\"100\" sortOrder=\"2\" tableNameToCheck=\"tc\" "
                   "fieldNameToCheck=\"fc\" "
                   "LookupKey=\"id;code\" LookupResult=\"fName\" LookupTable=\"v_MSUL_X\" KeyFields=\"a;b\"");
    EXPECT_EQ(a.name, " Name "); // as written
    EXPECT_EQ(a.aliasname, "N");
    EXPECT_EQ(a.fieldName(), "N");
    EXPECT_EQ(a.tableName, "tMiTypes");
    EXPECT_EQ(a.joinType, "LEFT");
    EXPECT_EQ(a.type, "varchar");
    EXPECT_EQ(a.sname, "short");                        // trimmed
    EXPECT_EQ(a.fname, QStringLiteral("Наименование")); // trimmed
    EXPECT_EQ(a.size, 100);
    EXPECT_EQ(a.sortOrder, 2);
    EXPECT_EQ(a.uid, 2);
    EXPECT_EQ(a.tableNameToCheck, "tc");
    EXPECT_EQ(a.fieldNameToCheck, "fc");
    EXPECT_EQ(a.LookupKey, "id;code");
    EXPECT_EQ(a.LookupResult, "fName");
    EXPECT_EQ(a.LookupTable, "v_MSUL_X");
    EXPECT_EQ(a.KeyFields, "a;b");

    const TDbAttribute bad = loadSingle("size=\"big\" sortOrder=\"1x\"");
    EXPECT_EQ(bad.size, 0);
    EXPECT_EQ(bad.sortOrder, 0);
}

TEST(DescriptionLoader, ResolvesReferencesOnlyToEarlierElementsAndItself) {
    TestFolder folder;
    auto c = loadText(folder, R"(<book>
        <dbAttr uid="1" name="id" isPrimary="true" linkPrimary="1"/>
        <dbAttr uid="2" name="a" linkPrimary="1" parentAttr="3"/>
        <dbAttr uid="3" name="b" linkPrimary="" joinAttr="2"/>
        <dbAttr uid="2" name="dup"/>
        <dbAttr uid="5" name="c" linkPrimary="2"/>
        <dbAttr uid="6" name="d" linkPrimary="99"/>
    </book>)");
    ASSERT_TRUE(c);
    ASSERT_EQ(c->count(), 6);
    EXPECT_EQ(c->items(0)->linkPrimary, c->items(0)); // itself
    EXPECT_EQ(c->items(1)->linkPrimary, c->items(0));
    EXPECT_EQ(c->items(1)->parentAttr, nullptr);  // uid 3 comes later
    EXPECT_EQ(c->items(2)->linkPrimary, nullptr); // empty
    EXPECT_EQ(c->items(2)->joinAttr, c->items(1));
    EXPECT_EQ(c->items(4)->linkPrimary, c->items(3)); // the last element with uid 2
    EXPECT_EQ(c->items(5)->linkPrimary, nullptr);     // unknown uid, silently
}

TEST(DescriptionLoader, ReadsTheDocumentElementAndSkipsOtherChildren) {
    TestFolder folder;
    TXmlAttributes root;
    auto c = TDescriptionLoader::loadDescription(
        folder.write(
            "d.xml",
            R"(<anything fname="Отделы" orderBy=" ORDER BY x" type="msul" view="v_ALL_MSUL_DEPARTMENT">
            <DbAttr uid="1" name="skipped"/><!-- note --><other uid="x"/>text</anything>)"),
        &root);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->count(), 0);
    EXPECT_EQ(c->orderByText, " ORDER BY x");
    EXPECT_TRUE(c->isMsul);
    EXPECT_EQ(c->viewName, "v_ALL_MSUL_DEPARTMENT");
    EXPECT_EQ(TDescriptionLoader::xmlAttr(root, "fname"), QStringLiteral("Отделы"));

    auto plain = loadText(folder, R"(<b type="plain" view="v"><dbAttr uid="1"/></b>)");
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->isMsul);
    EXPECT_TRUE(plain->viewName.isEmpty()); // read only for MSUL
}

TEST(DescriptionLoader, GivesNoCollectionForMissingOrEmptyDocuments) {
    TestFolder folder;
    EXPECT_FALSE(TDescriptionLoader::loadDescription(folder.path() + "/absent.xml"));
    EXPECT_FALSE(loadText(folder, R"(<book fname="x" orderBy="y"/>)"));
    EXPECT_FALSE(loadText(folder, "<book fname=\"x\">\n   \t\n</book>")); // whitespace is no child
}

TEST(DescriptionLoader, FindsTheFileIgnoringLetterCase) {
    TestFolder folder;
    folder.write("BusinessData/ReferenceBooks/tMiTypes.xml", R"(<b><dbAttr uid="1" name="id"/></b>)");
    auto c =
        TDescriptionLoader::loadDescription(folder.path() + "\\BusinessData\\ReferenceBooks\\tmitypes.xml");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->items(0)->name, "id");
}

TEST(DescriptionLoader, HonoursTheDeclaredWindows1251Encoding) {
    TestFolder folder;
    const QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n" +
        toWindows1251(QStringLiteral("<book fname=\"Типы СИ\"><dbAttr uid=\"1\" name=\"fName\" "
                                     "fname=\"Наименование типа\"/></book>"));
    TXmlAttributes root;
    auto c = TDescriptionLoader::loadDescription(folder.write("w.xml", xml), &root);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->items(0)->fname, QStringLiteral("Наименование типа"));
    EXPECT_EQ(TDescriptionLoader::xmlAttr(root, "fname"), QStringLiteral("Типы СИ"));
}

TEST(DescriptionLoader, ValidatesAgainstTheDeclaredDtd) {
    TestFolder folder;
    folder.write("book.dtd", "<!ELEMENT book (dbAttr*)>\n<!ELEMENT dbAttr EMPTY>\n"
                             "<!ATTLIST dbAttr uid CDATA #REQUIRED name CDATA #IMPLIED>\n");
    const QByteArray doctype = "<?xml version=\"1.0\"?>\n<!DOCTYPE book SYSTEM \"book.dtd\">\n";
    EXPECT_TRUE(loadText(folder, doctype + R"(<book><dbAttr uid="1" name="id"/></book>)", "good.xml"));
    EXPECT_THROW(loadText(folder, doctype + R"(<book><dbAttr name="id"/></book>)", "bad.xml"), EXmlError);
    EXPECT_THROW(loadText(folder, doctype + R"(<book><other/></book>)", "bad2.xml"), EXmlError);
}

TEST(DescriptionLoader, ADeclaredDtdGivesItsDefaultAttributes) {
    TestFolder folder;
    const QString file = folder.write("d.xml", R"(<?xml version="1.0"?>
<!DOCTYPE book [<!ELEMENT book (dbAttr*)><!ELEMENT dbAttr EMPTY>
<!ATTLIST dbAttr uid CDATA #REQUIRED type CDATA "int">]>
<book><dbAttr uid="1"/></book>)");
    TXmlDocument doc;
    ASSERT_TRUE(TXmlDocument::read(file, doc));
    ASSERT_EQ(doc.children.size(), 1u);
    EXPECT_EQ(TDescriptionLoader::xmlAttr(doc.children[0].attributes, "type"), "int");
}

// Entities nested ten deep in an attribute would expand to a billion characters: the parser's
// own limits refuse the file at once.
TEST(DescriptionLoader, EntityAmplificationIsRefusedAtOnce) {
    TestFolder folder;
    QByteArray xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE b [\n<!ENTITY e0 \"lollollollollol\">\n";
    for (int i = 1; i <= 10; ++i) {
        xml += "<!ENTITY e" + QByteArray::number(i) + " \"";
        for (int k = 0; k < 10; ++k)
            xml += "&e" + QByteArray::number(i - 1) + ";";
        xml += "\">\n";
    }
    xml += "]>\n<b><dbAttr uid=\"1\" name=\"&e10;\"/></b>";
    const QString file = folder.write("laughs.xml", xml);
    QElapsedTimer timer;
    timer.start();
    TXmlDocument doc;
    EXPECT_THROW(TXmlDocument::read(file, doc), EXmlError);
    EXPECT_LT(timer.elapsed(), 5000);
}

// A description reads no local file outside its own folder (and the installation's) through
// a DTD or an entity it names.
TEST(DescriptionLoader, FilesOutsideTheDescriptionsFolderAreNotRead) {
    TestFolder elsewhere;
    const QString secret = elsewhere.write("book.dtd", "<!ELEMENT book ANY>\n<!ENTITY s \"секрет\">\n");
    TestFolder folder;
    const QString file = folder.write("d.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE book SYSTEM \"" +
                                                   secret.toUtf8() + "\">\n<book>&s;</book>");
    TXmlDocument doc;
    EXPECT_THROW(TXmlDocument::read(file, doc), EXmlError);
    folder.write("book.dtd", "<!ELEMENT book ANY>\n<!ENTITY s \"своё\">\n");
    const QString own = folder.write(
        "own.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE book SYSTEM \"book.dtd\">\n<book>&s;</book>");
    EXPECT_TRUE(TXmlDocument::read(own, doc));
}

struct BadFileCase {
    const char* xml;
    const char* message; // empty: any parser message
};

class BadDescription : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(BadDescription, FailsTheWholeLoadWithTheError) {
    TestFolder folder;
    const BadFileCase& c = GetParam();
    try {
        auto result = loadText(folder, c.xml);
        FAIL() << "loaded " << c.xml;
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), QString::fromUtf8(c.message));
    } catch (const EXmlError& e) {
        EXPECT_STREQ(c.message, "") << e.message().toStdString();
        EXPECT_FALSE(e.message().isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadDescription,
    ::testing::Values(
        BadFileCase{R"(<b><dbAttr uid="1"/><dbAttr name="x"/></b>)", "'' is not a valid integer value"},
        BadFileCase{R"(<b><dbAttr uid="1a"/></b>)", "'1a' is not a valid integer value"},
        BadFileCase{R"(<b><dbAttr uid="1" linkPrimary="one"/></b>)", "'one' is not a valid integer value"},
        BadFileCase{R"(<b><dbAttr uid="1" joinAttr="2.0"/></b>)", "'2.0' is not a valid integer value"},
        BadFileCase{R"(<b><dbAttr uid="1"></b>)", ""}, BadFileCase{R"(<b><dbAttr uid="1" uid="2"/></b>)", ""},
        BadFileCase{"not xml at all", ""}));
