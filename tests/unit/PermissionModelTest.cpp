#include "RecordingDatabase.h"
#include "TPermissionCollection.h"
#include "TRBAC.h"

#include <gtest/gtest.h>

namespace {

using T = TSourceFieldType;
constexpr TActionSet R = TActions::Read;
constexpr TActionSet W = TActions::Write;

struct TransitionCase {
    int stateBefore; // -1: the item is new (set outside loading)
    TActionSet actions;
    int stateAfter; // -1: the item is gone
};

class PermissionTransitions : public ::testing::TestWithParam<TransitionCase> {};

} // namespace

TEST(ActionSets, LettersAreBitsFromA) {
    EXPECT_EQ(TActions::bit('a'), 2u);
    EXPECT_EQ(R, 0x40000u);
    EXPECT_EQ(W, 0x800000u);
    EXPECT_EQ(TActions::ofFirstLetters({"read", "write", "", "Zed"}), R | W);
    EXPECT_EQ(TActions::letters(W | R | TActions::bit('a')), "arw");
}

TEST_P(PermissionTransitions, FollowTheTable) {
    const TransitionCase& c = GetParam();
    TPermissionCollection collection;
    if (c.stateBefore == -1) {
        collection.SetPermission(1, 5, R);
    } else {
        collection.Loading = true;
        collection.SetPermission(1, 5, R);
        collection.Loading = false;
        if (c.stateBefore == 2)
            collection.SetPermission(1, 5, R | W);
        if (c.stateBefore == 3)
            collection.SetPermission(1, 5, 0);
    }
    collection.SetPermission(1, 5, c.actions);
    const TPermissionItem* item = collection.FindItem(1, 5);
    if (c.stateAfter == -1) {
        EXPECT_EQ(item, nullptr);
        return;
    }
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->State, c.stateAfter);
    EXPECT_EQ(item->Actions, c.actions);
}

INSTANTIATE_TEST_SUITE_P(Cases, PermissionTransitions,
                         ::testing::Values(TransitionCase{0, R, 0}, // the same actions: unchanged
                                           TransitionCase{0, W, 2}, TransitionCase{0, 0, 3},
                                           TransitionCase{-1, W, 1},
                                           TransitionCase{-1, 0, -1}, // new, then emptied: gone
                                           TransitionCase{2, W, 2}, TransitionCase{2, 0, 3},
                                           TransitionCase{3, R, 2}, TransitionCase{3, 0, 3}));

TEST(PermissionCollection, KeepsPairOrderOutsideLoading) {
    TPermissionCollection collection;
    collection.SetPermission(2, 1, R);
    collection.SetPermission(1, 9, R);
    collection.SetPermission(1, 3, W);
    collection.SetPermission(1, 4, 0); // nothing for an empty set
    ASSERT_EQ(collection.count(), 3);
    EXPECT_EQ(collection.items(0).RowId, 3);
    EXPECT_EQ(collection.items(1).RowId, 9);
    EXPECT_EQ(collection.items(2).TableId, 2);
    int index = -1;
    EXPECT_FALSE(collection.Find(1, 5, index));
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(collection.Find(2, 1, index));
    EXPECT_EQ(index, 2);

    TPermissionCollection copy;
    copy.SetPermission(7, 7, R);
    copy.assign(collection);
    EXPECT_EQ(copy.count(), 3);
    EXPECT_EQ(copy.items(0).State, TPermissionItem::New);
    EXPECT_FALSE(copy.items(0).isRoleGrant());
    EXPECT_TRUE((TPermissionItem{0, 0, 3 << 16, 2}.isRoleGrant()));
}

namespace {

// A permission model over two registered tables, read through the recording connection.
class RbacStatements : public ::testing::Test {
protected:
    void SetUp() override {
        connection.results = {
            TScriptedResult{{{"id", T::Integer, 0}, {"tablename", T::String, 50}},
                            {{1, "tRoletMiTypes"}, {2, "tRoleMMState"}, {2 << 16, "tRoleGrants"}},
                            {}},
            // actions of the tables, the last registered first
            TScriptedResult{{{"name", T::String, 50}}, {{"read"}}, {}},
            TScriptedResult{{{"name", T::String, 50}}, {{"read"}, {"add"}}, {}},
            TScriptedResult{{{"name", T::String, 50}}, {{"read"}, {"write"}}, {}},
        };
        rbac = std::make_unique<TRBAC>();
        connection.statements.clear();
    }

    RecordingDatabase database;
    TRecordingConnection& connection = database.connection();
    std::unique_ptr<TRBAC> rbac;
};

} // namespace

TEST_F(RbacStatements, RegisteredTablesAreReadOnce) {
    EXPECT_EQ(rbac->PermissionTableCount(), 3);
    EXPECT_EQ(rbac->FindPermissionTable("TROLEMMSTATE"), 2);
    EXPECT_EQ(rbac->FindPermissionTable("tRoleOther"), -1);
    EXPECT_EQ(rbac->GetTableActions(1), R | W);
    EXPECT_EQ(rbac->GetTableActions(2), R | TActions::bit('a'));
    EXPECT_EQ(rbac->GetTableActions(9), 0u);
    QString name = "unchanged";
    EXPECT_EQ(rbac->GetPermissionTable(3, name), -1);
    EXPECT_EQ(name, "unchanged");
    EXPECT_EQ(rbac->GetPermissionTable(1, name), 2);
    EXPECT_EQ(name, "tRoleMMState");
    EXPECT_TRUE(rbac->LoadPermissionTables());
    EXPECT_TRUE(connection.statements.isEmpty());
}

TEST_F(RbacStatements, PermissionQueries) {
    EXPECT_EQ(rbac->BuildPermissionsQuery({2, 3}, {10, 11}, 1),
              "SELECT InkId As Id,1 AS TableId,sum(cast(w as int)) as w,sum(cast(r as int)) as r FROM "
              "tRoletMiTypes "
              "WHERE inkRole in( 2,3) and InkId in(10,11) group by InkId order by TableId, Id");
    EXPECT_EQ(rbac->BuildPermissionsQuery({2}, {}, -1),
              " SELECT InkId As Id,131072 AS TableId, 0 as w,sum(cast(r as int)) as r, 0 as a FROM "
              "tRoleGrants WHERE "
              "inkRole in( 2) group by InkId\n union \n SELECT InkId As Id,2 AS TableId, 0 as w,sum(cast(r "
              "as int)) as r,sum(cast(a as int)) as a FROM "
              "tRoleMMState WHERE inkRole in( 2) group by InkId\n union \n SELECT InkId As Id,1 AS "
              "TableId,sum(cast(w as int)) as w,sum(cast(r as int)) as r, 0 as a FROM tRoletMiTypes WHERE "
              "inkRole in( "
              "2) group by InkId order by TableId, Id");
    EXPECT_ANY_THROW(rbac->BuildPermissionsQuery({2}, {}, 7));
}

TEST_F(RbacStatements, UserPermissionsAreTheUnionOfTheRolesSums) {
    connection.results = {
        TScriptedResult{{{"id", T::Integer, 0}}, {{2}}, {}},
        TScriptedResult{{{"InkRole", T::Integer, 0}}, {{2}, {3}}, {}},
        TScriptedResult{
            {{"Id", T::Integer, 0}, {"TableId", T::Integer, 0}, {"w", T::Integer, 0}, {"r", T::Integer, 0}},
            {{10, 1, 1, 2}, {11, 1, 0, 0}, {12, 1, 0, 1}},
            {}},
    };
    TPermissionCollection collection;
    ASSERT_TRUE(rbac->LoadUserPermissions(" O'Brien ", &collection));
    EXPECT_EQ(connection.statements.at(0), "SELECT id FROM UserInfo where UserName='O''Brien'");
    EXPECT_EQ(connection.statements.at(1), "SELECT InkRole FROM tUserRoles  WHERE InkUser=2 ORDER BY 1");
    ASSERT_EQ(collection.count(), 2); // a row without any right gives no item
    EXPECT_EQ(collection.items(0).Actions, R | W);
    EXPECT_EQ(collection.items(0).State, TPermissionItem::AsRead);
    EXPECT_EQ(collection.items(1).RowId, 12);
    EXPECT_FALSE(collection.Loading);

    EXPECT_FALSE(rbac->LoadUserPermissions("  ", &collection));
    connection.results = {TScriptedResult::failure("no such table", "208")};
    EXPECT_FALSE(rbac->LoadUserPermissions("ivanov", &collection));
}

TEST_F(RbacStatements, SavingWritesChangedItemsFromTheHighestPair) {
    TPermissionCollection collection;
    collection.Loading = true;
    collection.SetPermission(1, 10, R);
    collection.SetPermission(1, 11, R | W);
    collection.SetPermission(1, 12, R);
    collection.Loading = false;
    collection.SetPermission(1, 10, R | W); // changed
    collection.SetPermission(1, 11, 0);     // emptied
    collection.SetPermission(1, 15, R);     // new
    collection.SetPermission(2 << 16, 4, R);
    EXPECT_TRUE(rbac->SavePermissions(3, &collection));
    EXPECT_EQ(connection.statements,
              (QStringList{"INSERT INTO tRoleGrants ( DynPermsId, RoleOwnId, RoleId,r ) VALUES (2 ,3 ,4,1)",
                           "INSERT INTO tRoletMiTypes ( InkRole, InkID,r ) VALUES (3 ,15,1)",
                           "delete from tRoletMiTypes where InkRole=3 and InkId=11",
                           "Update tRoletMiTypes Set r=1,w=1 where InkRole=3 and InkId=10"}));
    EXPECT_FALSE(rbac->SavePermissions(0, &collection));

    connection.statements.clear();
    connection.results = {TScriptedResult{}, TScriptedResult::failure("denied", "229")};
    EXPECT_FALSE(rbac->SavePermissions(3, &collection));
    EXPECT_EQ(connection.statements.size(), 2); // the walk ends at the first failure
}
