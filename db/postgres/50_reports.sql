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

CREATE OR REPLACE FUNCTION Rep_RightsUserForMiTypes(username text)
RETURNS TABLE ("Уровень" integer, "Тип СИ" varchar, "Код" varchar, "Просмотр" varchar, "Изменение" varchar)
LANGUAGE sql STABLE AS $$
    WITH RECURSIVE tree AS (
        SELECT t.id, 0 AS level, ARRAY[t.fName::text] AS path FROM tMiTypes t WHERE t.ParentId IS NULL
        UNION ALL
        SELECT c.id, p.level + 1, p.path || c.fName::text FROM tMiTypes c JOIN tree p ON c.ParentId = p.id
    ), admin AS (SELECT EXISTS (SELECT 1 FROM dbo.report_roles(username) WHERE role_id = 1) AS yes),
    rights AS (
        SELECT p.InkId, max(p.r) AS r, max(p.w) AS w FROM tRoletMiTypes p
        WHERE p.InkRole IN (SELECT role_id FROM dbo.report_roles(username)) GROUP BY p.InkId
    )
    SELECT tree.level, t.fName, t.Code,
           CASE WHEN admin.yes OR rights.r = 1 THEN '+' ELSE '' END::varchar,
           CASE WHEN admin.yes OR rights.w = 1 THEN '+' ELSE '' END::varchar
    FROM tree JOIN tMiTypes t ON t.id = tree.id CROSS JOIN admin LEFT JOIN rights ON rights.InkId = t.id
    ORDER BY tree.path
$$;

CREATE OR REPLACE FUNCTION Rep_RightsUserForDivisions(username text)
RETURNS TABLE ("Уровень" integer, "Подразделение" varchar, "Код" varchar, "Просмотр" varchar, "Изменение" varchar)
LANGUAGE sql STABLE AS $$
    WITH RECURSIVE tree AS (
        SELECT d.id, 0 AS level, ARRAY[d.fName::text] AS path FROM tSubDivs d WHERE d.ParentId IS NULL
        UNION ALL
        SELECT c.id, p.level + 1, p.path || c.fName::text FROM tSubDivs c JOIN tree p ON c.ParentId = p.id
    ), admin AS (SELECT EXISTS (SELECT 1 FROM dbo.report_roles(username) WHERE role_id = 1) AS yes),
    rights AS (
        SELECT p.InkId, max(p.r) AS r, max(p.w) AS w FROM tRoletSubDivs p
        WHERE p.InkRole IN (SELECT role_id FROM dbo.report_roles(username)) GROUP BY p.InkId
    )
    SELECT tree.level, d.fName, d.Code,
           CASE WHEN admin.yes OR rights.r = 1 THEN '+' ELSE '' END::varchar,
           CASE WHEN admin.yes OR rights.w = 1 THEN '+' ELSE '' END::varchar
    FROM tree JOIN tSubDivs d ON d.id = tree.id CROSS JOIN admin LEFT JOIN rights ON rights.InkId = d.id
    ORDER BY tree.path
$$;

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
