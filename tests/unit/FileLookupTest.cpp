#include "FileLookup.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <gtest/gtest.h>

TEST(FileLookup, FindsFilesWhateverTheLetterCaseAndSeparators) {
    TestFolder folder;
    const QString real = folder.write("BusinessData/ReferenceBooks/tMiTypes.xml", "<x/>");
    const QString cyrillic = folder.write("XLTemplates/Справочники.xlt", "x");
    const QString prefix = folder.path() + "/";

    EXPECT_EQ(resolvePath(prefix + "BusinessData\\ReferenceBooks\\tmitypes.xml"), real);
    EXPECT_EQ(resolvePath(prefix + "businessdata\\REFERENCEBOOKS\\TMITYPES.XML"), real);
    EXPECT_EQ(resolvePath(prefix + "XLTemplates\\СПРАВОЧНИКИ.xlt"), cyrillic);
    EXPECT_TRUE(fileExistsIgnoringCase(prefix + "BusinessData\\ReferenceBooks\\TMiTypes.xml"));
    EXPECT_FALSE(fileExistsIgnoringCase(prefix + "BusinessData\\ReferenceBooks\\tSubDivs.xml"));
    EXPECT_EQ(resolvePath(prefix + "BusinessData\\Missing\\a.xml"), prefix + "BusinessData/Missing/a.xml");
    EXPECT_EQ(resolvePath(prefix + "businessdata\\"), folder.path() + "/BusinessData/");
}
