-- SQL Server's security procedures the workstation calls by name (roles, members, grants), over
-- PostgreSQL roles and grants. Roles are shared by all databases of a server; grants belong to this
-- database.
--
-- A database user of SQL Server is named after the person (UserInfo.userSurnameNP) while his login
-- is UserInfo.UserName; here the login role is the database user, and these functions translate
-- between the two names. Roles keep their own names.
--
-- The procedures that change roles, members and grants run with their owner's rights and decide
-- themselves who may call them: a superuser or a member of "ORTASecurityAdmin" (SQL Server's
-- db_securityadmin). Grants are then made by the owner of the objects, so that every revoke meets
-- the grant it undoes, whoever made it. Load this file as a superuser: dropping a role revokes its
-- grants, which only the owner of the objects can do for every grantor.

DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'ORTADenyObjects') THEN
        CREATE ROLE "ORTADenyObjects" NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'ORTASecurityAdmin') THEN
        CREATE ROLE "ORTASecurityAdmin" NOLOGIN;
    END IF;
END $$;

-- The database user name of a role: a login with a UserInfo row is known by the person's name.
CREATE OR REPLACE FUNCTION dbo.db_user_name(role_name text) RETURNS varchar
LANGUAGE sql STABLE SET search_path = pg_catalog, pg_temp AS $$
    SELECT COALESCE((SELECT u.userSurnameNP
                     FROM public.UserInfo u
                     JOIN pg_catalog.pg_roles r ON r.rolname = u.UserName AND r.rolcanlogin
                     WHERE u.UserName = role_name AND COALESCE(u.userSurnameNP, '') <> ''
                     ORDER BY u.id LIMIT 1),
                    role_name)::varchar
$$;

-- The role of a database user name: a role of that name, the login of the person of that name, a
-- login of that name; NULL when there is none.
CREATE OR REPLACE FUNCTION dbo.db_user_role(user_name text) RETURNS name
LANGUAGE sql STABLE SET search_path = pg_catalog, pg_temp AS $$
    SELECT COALESCE((SELECT r.rolname FROM pg_catalog.pg_roles r WHERE r.rolname = user_name AND NOT r.rolcanlogin),
                    (SELECT r.rolname
                     FROM public.UserInfo u
                     JOIN pg_catalog.pg_roles r ON r.rolname = u.UserName AND r.rolcanlogin
                     WHERE u.userSurnameNP = user_name
                     ORDER BY u.id LIMIT 1),
                    (SELECT r.rolname FROM pg_catalog.pg_roles r WHERE r.rolname = user_name))
$$;

-- The database's users and roles as SQL Server's sysusers lists them. Users are the logins that
-- have a UserInfo row or belong to a role of the program; superusers stand for dbo and are left out.
CREATE OR REPLACE VIEW sysusers AS
SELECT r.oid::integer AS uid,
       (CASE WHEN r.rolcanlogin THEN dbo.db_user_name(r.rolname) ELSE r.rolname END)::varchar(128) AS name,
       CASE WHEN r.rolcanlogin THEN 0 ELSE 1 END::smallint AS issqlrole,
       0::smallint AS isapprole,
       CASE WHEN r.rolcanlogin THEN 1 ELSE 0 END::smallint AS islogin,
       CASE WHEN r.rolcanlogin THEN 1 ELSE 0 END::smallint AS issqluser
FROM pg_roles r
WHERE r.rolname NOT LIKE 'pg\_%'
  AND NOT r.rolsuper
  AND (NOT r.rolcanlogin
       OR EXISTS (SELECT 1 FROM UserInfo u WHERE u.UserName = r.rolname)
       OR EXISTS (SELECT 1 FROM pg_auth_members m JOIN pg_roles g ON g.oid = m.roleid
                  WHERE m.member = r.oid AND g.rolname LIKE 'ORTA%'));

CREATE OR REPLACE FUNCTION dbo.role_oid(role_name text) RETURNS oid
LANGUAGE sql STABLE SET search_path = pg_catalog, pg_temp AS $$
    SELECT oid FROM pg_catalog.pg_roles WHERE rolname = role_name
$$;

-- A table or view of the program by the name its statements use (public, then dbo); NULL for none.
CREATE OR REPLACE FUNCTION dbo.program_object(object_name text) RETURNS oid
LANGUAGE sql STABLE SET search_path = pg_catalog, pg_temp AS $$
    SELECT CASE WHEN object_name LIKE '%.%' THEN to_regclass(object_name)::oid
                ELSE COALESCE(to_regclass('public.' || object_name), to_regclass('dbo.' || object_name))::oid END
$$;

-- Raises SQL Server's refusal unless the session's login administers security.
CREATE OR REPLACE FUNCTION dbo.require_security_admin() RETURNS void
LANGUAGE plpgsql STABLE SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = session_user AND rolsuper)
       AND NOT pg_has_role(session_user, 'ORTASecurityAdmin', 'MEMBER') THEN
        RAISE EXCEPTION 'User does not have permission to perform this action.' USING ERRCODE = '42501';
    END IF;
END $$;

-- A role of the program (not a login); raises when there is none. Only the program's roles
-- ("ORTA…") without server rights are kept through these procedures: they run with their owner's
-- rights, and membership of any other role could give the server itself away.
CREATE OR REPLACE FUNCTION dbo.existing_role(role_name text) RETURNS name
LANGUAGE plpgsql STABLE SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    found_name name;
BEGIN
    SELECT r.rolname INTO found_name FROM pg_roles r
    WHERE r.rolname = role_name AND NOT r.rolcanlogin AND r.rolname LIKE 'ORTA%'
      AND NOT (r.rolsuper OR r.rolcreaterole OR r.rolcreatedb OR r.rolreplication OR r.rolbypassrls);
    IF found_name IS NULL THEN
        RAISE EXCEPTION 'The role ''%'' does not exist in the current database.', role_name USING ERRCODE = '42704';
    END IF;
    RETURN found_name;
END $$;

CREATE OR REPLACE FUNCTION sp_addrole(rolename text, ownername text DEFAULT NULL) RETURNS integer
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    PERFORM dbo.require_security_admin();
    IF rolename IS NULL OR rolename = '' THEN
        RAISE EXCEPTION 'A role name must be given.' USING ERRCODE = '22023';
    END IF;
    -- A longer name would be cut silently, and the role would no longer match its tRoles row.
    IF octet_length(rolename) > 63 THEN
        RAISE EXCEPTION 'The role name ''%'' is too long: this server keeps at most 63 bytes (about 29 Cyrillic letters).',
            rolename USING ERRCODE = '42622';
    END IF;
    IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = rolename) THEN
        RAISE EXCEPTION 'User, group, or role ''%'' already exists in the current database.', rolename
            USING ERRCODE = '42710';
    END IF;
    EXECUTE format('CREATE ROLE %I NOLOGIN', rolename);
    RETURN 0;
END $$;

CREATE OR REPLACE FUNCTION sp_droprole(rolename text) RETURNS integer
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    role_oid oid;
BEGIN
    PERFORM dbo.require_security_admin();
    SELECT r.oid INTO role_oid FROM pg_roles r
    WHERE r.rolname = rolename AND NOT r.rolcanlogin AND r.rolname LIKE 'ORTA-%'
      AND NOT (r.rolsuper OR r.rolcreaterole OR r.rolcreatedb OR r.rolreplication OR r.rolbypassrls);
    IF role_oid IS NULL THEN
        RAISE EXCEPTION 'Cannot drop the role ''%'', because it does not exist or you do not have permission.',
            rolename USING ERRCODE = '42704';
    END IF;
    IF EXISTS (SELECT 1 FROM pg_auth_members WHERE roleid = role_oid) THEN
        RAISE EXCEPTION 'The role has members. It must be empty before it can be dropped.' USING ERRCODE = '2BP01';
    END IF;
    -- Its grants go with it; objects it owns would go too, so such a role is refused.
    IF EXISTS (SELECT 1 FROM pg_shdepend d JOIN pg_database db ON db.oid = d.dbid
               WHERE d.refobjid = role_oid AND d.deptype = 'o' AND db.datname = current_database()) THEN
        RAISE EXCEPTION 'The role ''%'' owns objects in the database, and cannot be dropped.', rolename
            USING ERRCODE = '2BP01';
    END IF;
    EXECUTE format('DROP OWNED BY %I', rolename);
    EXECUTE format('DROP ROLE %I', rolename);
    RETURN 0;
END $$;

-- The role and the member role of a membership change; raises SQL Server's errors.
CREATE OR REPLACE FUNCTION dbo.membership(rolename text, membername text, OUT role_name name, OUT member_name name)
LANGUAGE plpgsql STABLE SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    PERFORM dbo.require_security_admin();
    role_name := dbo.existing_role(rolename);
    member_name := dbo.db_user_role(membername);
    IF member_name IS NULL THEN
        RAISE EXCEPTION 'User or role ''%'' does not exist in this database.', membername USING ERRCODE = '42704';
    END IF;
    -- A member is a login or one of the program's roles: a server role, another application's
    -- group or a superuser given a program role would take the database's rights elsewhere.
    IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = member_name
               AND (rolsuper OR rolname LIKE 'pg\_%' OR (NOT rolcanlogin AND rolname NOT LIKE 'ORTA%'))) THEN
        RAISE EXCEPTION 'Cannot use the special principal ''%''.', membername USING ERRCODE = '42501';
    END IF;
END $$;

CREATE OR REPLACE FUNCTION dbo.is_member(role_name text, member_name text) RETURNS boolean
LANGUAGE sql STABLE SET search_path = pg_catalog, pg_temp AS $$
    SELECT EXISTS (SELECT 1 FROM pg_catalog.pg_auth_members m
                   WHERE m.roleid = dbo.role_oid(role_name) AND m.member = dbo.role_oid(member_name))
$$;

-- A member again is no error, as on SQL Server; nor is removing one that is not a member.
CREATE OR REPLACE FUNCTION sp_addrolemember(rolename text, membername text) RETURNS integer
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    change record := dbo.membership(rolename, membername);
BEGIN
    IF NOT dbo.is_member(change.role_name, change.member_name) THEN
        EXECUTE format('GRANT %I TO %I', change.role_name, change.member_name);
    END IF;
    RETURN 0;
END $$;

-- Whoever stops administering the database's security stops keeping logins too (the user dialog's
-- "Администратор ролей и пользователей" unticked).
CREATE OR REPLACE FUNCTION sp_droprolemember(rolename text, membername text) RETURNS integer
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    change record := dbo.membership(rolename, membername);
BEGIN
    IF dbo.is_member(change.role_name, change.member_name) THEN
        EXECUTE format('REVOKE %I FROM %I', change.role_name, change.member_name);
    END IF;
    IF change.role_name = 'ORTASecurityAdmin' AND dbo.role_oid('vestar_securityadmin') IS NOT NULL
       AND dbo.is_member('vestar_securityadmin', change.member_name) THEN
        EXECUTE format('REVOKE vestar_securityadmin FROM %I', change.member_name);
    END IF;
    RETURN 0;
END $$;

-- The members of a role (of every role when none is named). MemberSID is NULL for a role member.
CREATE OR REPLACE FUNCTION sp_helprolemember(rolename text DEFAULT NULL)
RETURNS TABLE ("DbRole" varchar(128), "MemberName" varchar(128), "MemberSID" bytea)
LANGUAGE plpgsql STABLE SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    IF rolename IS NOT NULL THEN
        PERFORM dbo.existing_role(rolename);
    END IF;
    RETURN QUERY
    SELECT g.rolname::varchar(128),
           (CASE WHEN m.rolcanlogin THEN dbo.db_user_name(m.rolname) ELSE m.rolname END)::varchar(128),
           CASE WHEN m.rolcanlogin THEN int4send(m.oid::integer) END
    FROM pg_auth_members a
    JOIN pg_roles g ON g.oid = a.roleid
    JOIN pg_roles m ON m.oid = a.member
    WHERE (rolename IS NULL OR g.rolname = rolename) AND NOT g.rolcanlogin
    ORDER BY 1, 2;
END $$;

-- The grants on a table or view, as SQL Server lists them: a table-wide SELECT or UPDATE has the
-- column "(All+New)", INSERT and DELETE ".", column grants that cover every column "(All)", others
-- one row per column. Raises SQL Server's error when nothing matches.
CREATE OR REPLACE FUNCTION sp_helprotect(name text DEFAULT NULL, username text DEFAULT NULL,
                                         grantorname text DEFAULT NULL, permissionarea text DEFAULT 'o s')
RETURNS TABLE ("Owner" varchar(128), "Object" varchar(128), "Grantee" varchar(128), "Grantor" varchar(128),
               "ProtectType" varchar(10), "Action" varchar(20), "Column" varchar(128))
LANGUAGE plpgsql STABLE SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    rel oid := dbo.program_object(sp_helprotect.name);
    grantee_name text := CASE WHEN username IS NULL THEN NULL ELSE COALESCE(dbo.db_user_role(username), username) END;
BEGIN
    IF sp_helprotect.name IS NOT NULL AND rel IS NULL THEN
        RAISE EXCEPTION 'The object ''%'' does not exist in database ''%'' or is invalid for this operation.',
            sp_helprotect.name, current_database() USING ERRCODE = '42P01';
    END IF;
    RETURN QUERY
    WITH relations AS (
        SELECT c.oid, c.relname, c.relowner, c.relacl FROM pg_class c
        WHERE c.oid = rel OR (rel IS NULL AND c.relnamespace = 'public'::regnamespace AND c.relkind IN ('r', 'v'))
    ), table_grants AS (
        SELECT r.oid AS relid, a.grantee, a.grantor, a.privilege_type, a.is_grantable
        FROM relations r, aclexplode(r.relacl) a
        WHERE a.privilege_type IN ('SELECT', 'UPDATE', 'INSERT', 'DELETE')
    ), column_grants AS (
        SELECT r.oid AS relid, att.attname, a.grantee, a.grantor, a.privilege_type, a.is_grantable,
               count(*) OVER (PARTITION BY r.oid, a.grantee, a.grantor, a.privilege_type, a.is_grantable) AS covered,
               (SELECT count(*) FROM pg_attribute x WHERE x.attrelid = r.oid AND x.attnum > 0 AND NOT x.attisdropped)
                   AS total
        FROM relations r
        JOIN pg_attribute att ON att.attrelid = r.oid AND att.attnum > 0 AND NOT att.attisdropped
        CROSS JOIN LATERAL aclexplode(att.attacl) a
        WHERE a.privilege_type IN ('SELECT', 'UPDATE')
          AND NOT EXISTS (SELECT 1 FROM table_grants t
                          WHERE t.relid = r.oid AND t.grantee = a.grantee AND t.privilege_type = a.privilege_type)
    ), grants AS (
        SELECT relid, grantee, grantor, privilege_type, is_grantable,
               CASE WHEN privilege_type IN ('SELECT', 'UPDATE') THEN '(All+New)' ELSE '.' END AS column_name
        FROM table_grants
        UNION
        SELECT relid, grantee, grantor, privilege_type, is_grantable,
               CASE WHEN covered = total THEN '(All)' ELSE attname::text END
        FROM column_grants
    )
    SELECT pg_get_userbyid(r.relowner)::varchar(128),
           r.relname::varchar(128),
           (CASE WHEN g.grantee = 0 THEN 'public' ELSE dbo.db_user_name(pg_get_userbyid(g.grantee)) END)::varchar(128),
           pg_get_userbyid(g.grantor)::varchar(128),
           (CASE WHEN g.is_grantable THEN 'Grant_WGO' ELSE 'Grant' END)::varchar(10),
           initcap(g.privilege_type)::varchar(20),
           g.column_name::varchar(128)
    FROM grants g JOIN relations r ON r.oid = g.relid
    WHERE g.grantee <> r.relowner
      AND (grantee_name IS NULL OR (g.grantee <> 0 AND pg_get_userbyid(g.grantee) = grantee_name)
           OR (g.grantee = 0 AND lower(grantee_name) = 'public'))
      AND (grantorname IS NULL OR pg_get_userbyid(g.grantor) = grantorname)
    ORDER BY 2, 3, 6, 7;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'There are no matching rows on which to report.' USING ERRCODE = '02000';
    END IF;
END $$;

-- GRANT or REVOKE of SELECT, UPDATE, INSERT or DELETE on a table or view of the program (with a
-- column: on that column) to a role or user, made by the owner of the object. Revoking one column
-- of a table-wide grant leaves the grant on the other columns, as on SQL Server.
CREATE OR REPLACE FUNCTION dbo.adm_permission(operation text, action text, object_name text, column_name text,
                                              grantee text) RETURNS integer
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    privilege text := upper(trim(action));
    rel oid := dbo.program_object(object_name);
    grantee_role name := dbo.db_user_role(grantee);
    other name;
BEGIN
    PERFORM dbo.require_security_admin();
    IF upper(operation) NOT IN ('GRANT', 'REVOKE') OR privilege NOT IN ('SELECT', 'UPDATE', 'INSERT', 'DELETE') THEN
        RAISE EXCEPTION 'Incorrect syntax near ''%''.', action USING ERRCODE = '42601';
    END IF;
    IF rel IS NULL OR NOT EXISTS (SELECT 1 FROM pg_class c WHERE c.oid = rel
                                  AND c.relnamespace IN ('public'::regnamespace, 'dbo'::regnamespace)
                                  AND c.relkind IN ('r', 'v', 'm', 'p', 'f')) THEN
        RAISE EXCEPTION 'Cannot find the object ''%'', because it does not exist or you do not have permission.',
            object_name USING ERRCODE = '42P01';
    END IF;
    IF grantee_role IS NULL OR grantee_role LIKE 'pg\_%'
       OR EXISTS (SELECT 1 FROM pg_roles WHERE rolname = grantee_role AND rolsuper) THEN
        RAISE EXCEPTION 'Cannot find the user ''%'', because it does not exist or you do not have permission.',
            grantee USING ERRCODE = '42704';
    END IF;
    IF column_name IS NOT NULL AND NOT EXISTS (SELECT 1 FROM pg_attribute
                                               WHERE attrelid = rel AND attname = column_name AND attnum > 0
                                                 AND NOT attisdropped) THEN
        RAISE EXCEPTION 'Invalid column name ''%''.', column_name USING ERRCODE = '42703';
    END IF;
    IF upper(operation) = 'GRANT' THEN
        IF column_name IS NULL THEN
            EXECUTE format('GRANT %s ON %s TO %I', privilege, rel::regclass, grantee_role);
        ELSE
            EXECUTE format('GRANT %s (%I) ON %s TO %I', privilege, column_name, rel::regclass, grantee_role);
        END IF;
        RETURN 0;
    END IF;
    IF column_name IS NULL THEN
        EXECUTE format('REVOKE %s ON %s FROM %I', privilege, rel::regclass, grantee_role);
        RETURN 0;
    END IF;
    IF EXISTS (SELECT 1 FROM pg_class c, aclexplode(c.relacl) a
               WHERE c.oid = rel AND a.grantee = dbo.role_oid(grantee_role) AND a.privilege_type = privilege) THEN
        EXECUTE format('REVOKE %s ON %s FROM %I', privilege, rel::regclass, grantee_role);
        FOR other IN SELECT attname FROM pg_attribute
                     WHERE attrelid = rel AND attnum > 0 AND NOT attisdropped AND attname <> column_name LOOP
            EXECUTE format('GRANT %s (%I) ON %s TO %I', privilege, other, rel::regclass, grantee_role);
        END LOOP;
    END IF;
    EXECUTE format('REVOKE %s (%I) ON %s FROM %I', privilege, column_name, rel::regclass, grantee_role);
    RETURN 0;
END $$;

-- Role 1 is the administrators' role: no client deletes it, whatever it sends (the roles window
-- already refuses; the generic grid of the catalogue's "Роли" book does not know the rule).
CREATE OR REPLACE FUNCTION dbo.keep_administrators_role() RETURNS trigger
LANGUAGE plpgsql SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    IF OLD.id = 1 THEN
        RAISE EXCEPTION 'The administrators'' role (id 1) cannot be deleted.' USING ERRCODE = '42501';
    END IF;
    RETURN OLD;
END $$;
DROP TRIGGER IF EXISTS "TR_tRoles_KeepAdministrators" ON tRoles;
CREATE TRIGGER "TR_tRoles_KeepAdministrators" BEFORE DELETE ON tRoles
    FOR EACH ROW EXECUTE FUNCTION dbo.keep_administrators_role();
