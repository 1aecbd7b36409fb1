-- The rights reports of a user (named by UserInfo.userSurnameNP): what the user may see and change,
-- from the row permissions of the user's roles (the administrators' role may everything). The first
-- column is the record's level in its tree (0 at the top); rows come in tree order.

-- Row permissions of instrument states (not used by this workstation; other programs read them).
CREATE TABLE tRoleMMState (
    InkRole integer NOT NULL CONSTRAINT "FK_tRoleMMState_tRoles" REFERENCES tRoles (id) ON DELETE CASCADE,
    InkId integer NOT NULL,
    r smallint NOT NULL DEFAULT 0,
    w smallint NOT NULL DEFAULT 0,
    CONSTRAINT "PK_tRoleMMState" PRIMARY KEY (InkRole, InkId)
);
GRANT SELECT ON tRoleMMState TO PUBLIC;

-- The user's roles, and whether one of them is the administrators' role.
CREATE OR REPLACE FUNCTION dbo.report_roles(user_name text) RETURNS TABLE (role_id integer)
LANGUAGE sql STABLE AS $$
    SELECT ur.InkRole FROM tUserRoles ur JOIN UserInfo u ON u.id = ur.InkUser WHERE u.userSurnameNP = user_name
$$;

-- The records of a hierarchical book (id, ParentId, fName, Code) in tree order with the user's
-- rights from its row-permission table.
CREATE OR REPLACE FUNCTION dbo.report_tree_rights(book text, rights_table text, username text)
RETURNS TABLE (level integer, name varchar, code varchar, may_read varchar, may_write varchar)
LANGUAGE plpgsql STABLE AS $$
BEGIN
    RETURN QUERY EXECUTE format($q$
        WITH RECURSIVE tree AS (
            SELECT t.id, 0 AS level, ARRAY[t.fName::text] AS path FROM %1$I t WHERE t.ParentId IS NULL
            UNION ALL
            SELECT c.id, p.level + 1, p.path || c.fName::text FROM %1$I c JOIN tree p ON c.ParentId = p.id
        ), admin AS (SELECT EXISTS (SELECT 1 FROM dbo.report_roles($1) WHERE role_id = 1) AS yes),
        rights AS (
            SELECT p.InkId, max(p.r) AS r, max(p.w) AS w FROM %2$I p
            WHERE p.InkRole IN (SELECT role_id FROM dbo.report_roles($1)) GROUP BY p.InkId
        )
        SELECT tree.level, t.fName::varchar, t.Code::varchar,
               CASE WHEN admin.yes OR rights.r = 1 THEN '+' ELSE '' END::varchar,
               CASE WHEN admin.yes OR rights.w = 1 THEN '+' ELSE '' END::varchar
        FROM tree JOIN %1$I t ON t.id = tree.id CROSS JOIN admin LEFT JOIN rights ON rights.InkId = t.id
        ORDER BY tree.path$q$, lower(book), lower(rights_table)) USING username;
END $$;

CREATE OR REPLACE FUNCTION Rep_RightsUserForMiTypes(username text)
RETURNS TABLE ("Уровень" integer, "Тип СИ" varchar, "Код" varchar, "Просмотр" varchar, "Изменение" varchar)
LANGUAGE sql STABLE AS $$ SELECT * FROM dbo.report_tree_rights('tMiTypes', 'tRoletMiTypes', username) $$;

CREATE OR REPLACE FUNCTION Rep_RightsUserForDivisions(username text)
RETURNS TABLE ("Уровень" integer, "Подразделение" varchar, "Код" varchar, "Просмотр" varchar, "Изменение" varchar)
LANGUAGE sql STABLE AS $$ SELECT * FROM dbo.report_tree_rights('tSubDivs', 'tRoletSubDivs', username) $$;

CREATE OR REPLACE FUNCTION Rep_RightsUserForPassportState(username text)
RETURNS TABLE ("Уровень" integer, "Состояние" varchar, "Просмотр" varchar, "Изменение" varchar)
LANGUAGE sql STABLE AS $$
    WITH admin AS (SELECT EXISTS (SELECT 1 FROM dbo.report_roles(username) WHERE role_id = 1) AS yes),
    rights AS (
        SELECT p.InkId, max(p.r) AS r, max(p.w) AS w FROM tRoleMMState p
        WHERE p.InkRole IN (SELECT role_id FROM dbo.report_roles(username)) GROUP BY p.InkId
    )
    SELECT 0, s.SName,
           CASE WHEN admin.yes OR rights.r = 1 THEN '+' ELSE '' END::varchar,
           CASE WHEN admin.yes OR rights.w = 1 THEN '+' ELSE '' END::varchar
    FROM MMState s CROSS JOIN admin LEFT JOIN rights ON rights.InkId = s.id
    ORDER BY s.SName
$$;
