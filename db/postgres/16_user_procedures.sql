-- SQL Server's login and user procedures the users window calls, over PostgreSQL login roles. A
-- user is a login role (UserInfo.UserName) and a UserInfo row; the database user's name is the
-- person's (UserInfo.userSurnameNP). SQL Server's server role securityadmin is membership of the
-- role "vestar_securityadmin", which carries no server attribute: these procedures alone act on it.
-- (CREATEROLE would let its holder grant himself the server's predefined roles, and with them
-- programs and files of the server's account, and change any login outside the program.)
-- Password policy and expiry are kept in UserInfo; an expiring password is given 90 days.

CREATE EXTENSION IF NOT EXISTS pgcrypto WITH SCHEMA dbo;

DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'vestar_securityadmin') THEN
        CREATE ROLE vestar_securityadmin NOLOGIN;
    END IF;
END $$;

ALTER TABLE UserInfo ADD COLUMN IF NOT EXISTS Deleted smallint NOT NULL DEFAULT 0;
ALTER TABLE UserInfo ADD COLUMN IF NOT EXISTS IsPolicyChecked smallint NOT NULL DEFAULT 0;
ALTER TABLE UserInfo ADD COLUMN IF NOT EXISTS IsExpirationChecked smallint NOT NULL DEFAULT 0;

CREATE SCHEMA IF NOT EXISTS sys;
GRANT USAGE ON SCHEMA sys TO PUBLIC;

-- Raises SQL Server's refusal unless the session's login may keep logins (securityadmin).
CREATE OR REPLACE FUNCTION dbo.require_login_admin() RETURNS void
LANGUAGE plpgsql STABLE SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = session_user AND rolsuper)
       AND NOT pg_has_role(session_user, 'vestar_securityadmin', 'MEMBER') THEN
        RAISE EXCEPTION 'User does not have permission to perform this action.' USING ERRCODE = '42501';
    END IF;
END $$;

-- A login of the program: a role that may sign in (or a user's login disabled by his deletion),
-- with no server attribute; raises when there is none. Group roles, the server's own roles and the
-- administrators of the server are never changed through the program.
CREATE OR REPLACE FUNCTION dbo.program_login(login_name text) RETURNS name
LANGUAGE plpgsql STABLE SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    found_name name;
BEGIN
    SELECT r.rolname INTO found_name FROM pg_roles r
    WHERE r.rolname = login_name AND r.rolname NOT LIKE 'pg\_%'
      AND NOT (r.rolsuper OR r.rolcreaterole OR r.rolcreatedb OR r.rolreplication OR r.rolbypassrls)
      AND (r.rolcanlogin OR EXISTS (SELECT 1 FROM public.UserInfo u WHERE u.UserName = r.rolname AND u.Deleted <> 0))
      -- a role others belong to is a group, whatever a UserInfo row says
      AND NOT EXISTS (SELECT 1 FROM pg_auth_members m WHERE m.roleid = r.oid);
    IF found_name IS NULL THEN
        RAISE EXCEPTION '''%'' is not a valid login or you do not have permission.', login_name USING ERRCODE = '42704';
    END IF;
    RETURN found_name;
END $$;

-- The users (pic 1: with a login, 2: deleted) under the heading "Пользователи" (id -1), the
-- deleted ones under "Удаленные пользователи" (id -2) when asked for.
CREATE OR REPLACE FUNCTION adm_get_user_list(show_deleted integer DEFAULT 0)
RETURNS TABLE (id integer, p integer, "Usern" varchar, pic integer, "UserName" varchar, "UserSurnameNP" varchar)
LANGUAGE sql STABLE AS $$
    SELECT -1, NULL::integer, 'Пользователи'::varchar, 0, NULL::varchar, NULL::varchar
    UNION ALL
    SELECT -2, NULL, 'Удаленные пользователи', 0, NULL, NULL WHERE show_deleted <> 0
    UNION ALL
    SELECT u.id, CASE WHEN u.Deleted <> 0 THEN -2 ELSE -1 END,
           (COALESCE(NULLIF(u.userSurnameNP, ''), u.UserName) || ' (' || u.UserName || ')')::varchar,
           CASE WHEN u.Deleted <> 0 THEN 2 WHEN r.rolname IS NOT NULL THEN 1 ELSE 0 END,
           u.UserName::varchar, u.userSurnameNP::varchar
    FROM UserInfo u LEFT JOIN pg_roles r ON r.rolname = u.UserName AND r.rolcanlogin
    WHERE u.Deleted = 0 OR show_deleted <> 0
    ORDER BY 2 NULLS FIRST, 3
$$;

-- Creates (usr_id -1) or changes a user: the login role, its name, the UserInfo row; a deleted
-- user saved again is restored. Flags are -1 (on) or 0 as SQL Server's bit parameters come.
CREATE OR REPLACE FUNCTION adm_UserInfoSave(usr_id integer, usr_UserName text, usr_UserSurnameNP text,
                                            usr_IsSecurityAdmin integer DEFAULT 0,
                                            usr_IsEnforcePasswordExpiration integer DEFAULT 0,
                                            usr_IsEnforcePasswordPolicy integer DEFAULT 0) RETURNS integer
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    old_name text;
    expiry text := CASE WHEN usr_IsEnforcePasswordExpiration <> 0
                        THEN quote_literal((now() + interval '90 days')::text) ELSE '''infinity''' END;
BEGIN
    PERFORM dbo.require_login_admin();
    IF COALESCE(usr_UserName, '') = '' OR COALESCE(usr_UserSurnameNP, '') = '' THEN
        RAISE EXCEPTION 'A login name and a user name must be given.' USING ERRCODE = '22023';
    END IF;
    IF octet_length(usr_UserName) > 63 THEN
        RAISE EXCEPTION 'The login name ''%'' is too long: this server keeps at most 63 bytes.', usr_UserName
            USING ERRCODE = '42622';
    END IF;
    IF EXISTS (SELECT 1 FROM public.UserInfo u WHERE u.userSurnameNP = usr_UserSurnameNP AND u.id <> usr_id) THEN
        RAISE EXCEPTION 'The user name ''%'' is already used in the database.', usr_UserSurnameNP USING ERRCODE = '23505';
    END IF;
    IF usr_id IS NULL OR usr_id <= 0 THEN
        IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = usr_UserName) THEN
            RAISE EXCEPTION 'The server principal ''%'' already exists.', usr_UserName USING ERRCODE = '42710';
        END IF;
        EXECUTE format('CREATE ROLE %I LOGIN VALID UNTIL %s', usr_UserName, expiry);
        INSERT INTO public.UserInfo (UserName, userSurnameNP, IsPolicyChecked, IsExpirationChecked)
        VALUES (usr_UserName, usr_UserSurnameNP, (usr_IsEnforcePasswordPolicy <> 0)::int,
                (usr_IsEnforcePasswordExpiration <> 0)::int);
        RETURN 0;
    END IF;
    SELECT u.UserName INTO old_name FROM public.UserInfo u WHERE u.id = usr_id FOR UPDATE;
    IF old_name IS NULL THEN
        RAISE EXCEPTION 'The user % does not exist.', usr_id USING ERRCODE = '02000';
    END IF;
    PERFORM dbo.program_login(old_name);
    IF old_name <> usr_UserName THEN
        EXECUTE format('ALTER ROLE %I RENAME TO %I', old_name, usr_UserName);
    END IF;
    EXECUTE format('ALTER ROLE %I LOGIN VALID UNTIL %s', usr_UserName, expiry);
    UPDATE public.UserInfo
    SET UserName = usr_UserName, userSurnameNP = usr_UserSurnameNP, Deleted = 0,
        IsPolicyChecked = (usr_IsEnforcePasswordPolicy <> 0)::int,
        IsExpirationChecked = (usr_IsEnforcePasswordExpiration <> 0)::int
    WHERE id = usr_id;
    RETURN 0;
END $$;

-- Marks the user deleted; the login can no longer sign in.
CREATE OR REPLACE FUNCTION adm_UserInfoDelete(usr_id integer) RETURNS integer
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    login_name text;
BEGIN
    PERFORM dbo.require_login_admin();
    SELECT u.UserName INTO login_name FROM public.UserInfo u WHERE u.id = usr_id FOR UPDATE;
    IF login_name IS NULL THEN
        RAISE EXCEPTION 'The user % does not exist.', usr_id USING ERRCODE = '02000';
    END IF;
    IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = login_name AND NOT rolsuper) THEN
        EXECUTE format('ALTER ROLE %I NOLOGIN', login_name);
    END IF;
    UPDATE public.UserInfo SET Deleted = 1 WHERE id = usr_id;
    RETURN 0;
END $$;

-- Whether the password is the one the server keeps for the login (SCRAM-SHA-256 or MD5).
CREATE OR REPLACE FUNCTION dbo.password_matches(login_name name, password text) RETURNS boolean
LANGUAGE plpgsql STABLE SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    stored text;
    parts text[];
    block bytea;
    salted bytea;
    sum bit(256);
BEGIN
    SELECT a.rolpassword INTO stored FROM pg_authid a WHERE a.rolname = login_name;
    IF stored IS NULL OR password IS NULL THEN
        RETURN false;
    END IF;
    IF stored LIKE 'md5%' THEN
        RETURN stored = 'md5' || md5(password || login_name);
    END IF;
    -- SCRAM-SHA-256$iterations:salt$StoredKey:ServerKey; the salted password is PBKDF2-HMAC-SHA-256.
    parts := regexp_match(stored, '^SCRAM-SHA-256\$(\d+):([^$]+)\$([^:]+):');
    IF parts IS NULL THEN
        RETURN false;
    END IF;
    block := dbo.hmac(decode(parts[2], 'base64') || '\x00000001'::bytea, convert_to(password, 'UTF8'), 'sha256');
    sum := ('x' || encode(block, 'hex'))::bit(256);
    FOR i IN 2 .. parts[1]::integer LOOP
        block := dbo.hmac(block, convert_to(password, 'UTF8'), 'sha256');
        sum := sum # ('x' || encode(block, 'hex'))::bit(256);
    END LOOP;
    salted := ''::bytea;
    FOR i IN 0 .. 31 LOOP
        salted := salted || set_byte('\x00'::bytea, 0, substring(sum FROM i * 8 + 1 FOR 8)::integer);
    END LOOP;
    RETURN sha256(dbo.hmac('Client Key'::bytea, salted, 'sha256')) = decode(parts[3], 'base64');
END $$;
REVOKE ALL ON FUNCTION dbo.password_matches(name, text) FROM PUBLIC;

-- A new password. A login administrator may set anyone's (the program's logins); a login changes
-- its own only with the old one, as SQL Server's sp_password asks.
CREATE OR REPLACE FUNCTION sp_password(old text, new text, loginame text DEFAULT NULL) RETURNS integer
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    login_name name := dbo.program_login(COALESCE(loginame, session_user));
BEGIN
    IF login_name <> session_user THEN
        PERFORM dbo.require_login_admin();
    ELSIF NOT (EXISTS (SELECT 1 FROM pg_roles WHERE rolname = session_user AND rolsuper)
               OR pg_has_role(session_user, 'vestar_securityadmin', 'MEMBER')) THEN
        IF old IS NULL THEN
            RAISE EXCEPTION 'Only members of the sysadmin role can change a password without the old one.'
                USING ERRCODE = '42501';
        END IF;
        IF NOT dbo.password_matches(login_name, old) THEN
            RAISE EXCEPTION 'Old (current) password incorrect for user. The password was not changed.'
                USING ERRCODE = '28P01';
        END IF;
    END IF;
    IF COALESCE(new, '') = '' THEN
        RAISE EXCEPTION 'A password must be given.' USING ERRCODE = '22023';
    END IF;
    EXECUTE format('ALTER ROLE %I PASSWORD %L', login_name, new);
    RETURN 0;
END $$;

-- The database user of a full name: its roles (GroupName), its login and database user name.
CREATE OR REPLACE FUNCTION sp_helpuser(name_in_db text DEFAULT NULL)
RETURNS TABLE ("UserName" varchar, "GroupName" varchar, "LoginName" varchar, "DefDBName" varchar, "UserID" integer)
LANGUAGE sql STABLE SET search_path = pg_catalog, pg_temp AS $$
    WITH login AS (SELECT dbo.db_user_role(name_in_db) AS rolname)
    SELECT dbo.db_user_name(l.rolname), g.rolname::varchar, l.rolname::varchar, current_database()::varchar,
           dbo.role_oid(l.rolname)::integer
    FROM login l LEFT JOIN pg_catalog.pg_auth_members m ON m.member = dbo.role_oid(l.rolname)
    LEFT JOIN pg_catalog.pg_roles g ON g.oid = m.roleid
    WHERE l.rolname IS NOT NULL
    UNION ALL
    SELECT dbo.db_user_name(l.rolname), 'public', l.rolname::varchar, current_database()::varchar,
           dbo.role_oid(l.rolname)::integer
    FROM login l WHERE l.rolname IS NOT NULL
$$;

-- The roles of the database.
CREATE OR REPLACE FUNCTION sp_helprole(rolename text DEFAULT NULL)
RETURNS TABLE ("RoleName" varchar, "RoleId" integer, "IsAppRole" integer)
LANGUAGE sql STABLE AS $$
    SELECT name, uid, isapprole FROM sysusers WHERE issqlrole = 1 AND (rolename IS NULL OR name = rolename) ORDER BY 1
$$;

-- The logins of the server role securityadmin (the server's superusers stand for sysadmin).
CREATE OR REPLACE FUNCTION sp_helpsrvrolemember(srvrolename text DEFAULT NULL)
RETURNS TABLE ("ServerRole" varchar, "MemberName" varchar, "MemberSID" bytea)
LANGUAGE sql STABLE SET search_path = pg_catalog, pg_temp AS $$
    SELECT 'securityadmin'::varchar, r.rolname::varchar, int4send(r.oid::integer)
    FROM pg_catalog.pg_roles r
    WHERE r.rolcanlogin AND (r.rolsuper OR pg_has_role(r.oid, 'vestar_securityadmin', 'MEMBER'))
      AND COALESCE(lower(srvrolename), 'securityadmin') = 'securityadmin'
    ORDER BY 2
$$;

-- The server role of SQL Server's name as this server keeps it; raises for any other.
CREATE OR REPLACE FUNCTION dbo.server_role(rolename text) RETURNS name
LANGUAGE plpgsql IMMUTABLE SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    IF lower(COALESCE(rolename, '')) <> 'securityadmin' THEN
        RAISE EXCEPTION '''%'' is not a valid server role.', rolename USING ERRCODE = '42704';
    END IF;
    RETURN 'vestar_securityadmin';
END $$;

CREATE OR REPLACE FUNCTION sp_addsrvrolemember(loginame text, rolename text) RETURNS integer
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    PERFORM dbo.require_login_admin();
    EXECUTE format('GRANT %I TO %I', dbo.server_role(rolename), dbo.program_login(loginame));
    RETURN 0;
END $$;

CREATE OR REPLACE FUNCTION sp_dropsrvrolemember(loginame text, rolename text) RETURNS integer
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    PERFORM dbo.require_login_admin();
    EXECUTE format('REVOKE %I FROM %I', dbo.server_role(rolename), dbo.program_login(loginame));
    RETURN 0;
END $$;

-- Databases made before: the program's logins that kept logins through CREATEROLE keep them
-- through the server role, and lose the attribute.
DO $$
DECLARE
    login_name name;
BEGIN
    FOR login_name IN SELECT r.rolname FROM pg_roles r
                      WHERE r.rolcreaterole AND NOT r.rolsuper AND r.rolcanlogin
                        AND EXISTS (SELECT 1 FROM public.UserInfo u WHERE u.UserName = r.rolname) LOOP
        EXECUTE format('GRANT vestar_securityadmin TO %I', login_name);
        EXECUTE format('ALTER ROLE %I NOCREATEROLE', login_name);
    END LOOP;
END $$;

-- The database user goes (its memberships); the login stays.
CREATE OR REPLACE FUNCTION sp_revokedbaccess(name_in_db text) RETURNS integer
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    login_name name := dbo.program_login(dbo.db_user_role(name_in_db));
    role_name name;
BEGIN
    PERFORM dbo.require_login_admin();
    FOR role_name IN SELECT g.rolname FROM pg_auth_members m JOIN pg_roles g ON g.oid = m.roleid
                     WHERE m.member = dbo.role_oid(login_name) AND g.rolname LIKE 'ORTA%' LOOP
        EXECUTE format('REVOKE %I FROM %I', role_name, login_name);
    END LOOP;
    RETURN 0;
END $$;

CREATE OR REPLACE FUNCTION sp_droplogin(loginame text) RETURNS integer
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    PERFORM dbo.require_login_admin();
    EXECUTE format('DROP ROLE %I', dbo.program_login(loginame));
    RETURN 0;
END $$;

-- The logins as SQL Server's sys.sql_logins lists them.
CREATE OR REPLACE VIEW sys.sql_logins AS
SELECT r.rolname::varchar(128) AS name, r.oid::integer AS principal_id,
       (COALESCE(u.IsPolicyChecked, 0) <> 0) AS is_policy_checked,
       (COALESCE(u.IsExpirationChecked, 0) <> 0) AS is_expiration_checked,
       NOT r.rolcanlogin AS is_disabled
FROM pg_roles r LEFT JOIN UserInfo u ON u.UserName = r.rolname
WHERE r.rolcanlogin OR u.id IS NOT NULL;
GRANT SELECT ON sys.sql_logins TO PUBLIC;

-- A row of tRoles names a role of the program on the server, and a row of UserInfo a login (or a
-- deleted user's disabled login): a client with rights on the tables cannot make a row for a
-- principal the security procedures did not make, nor rename one away from it. A user whose login
-- is renamed by adm_UserInfoSave meets this check after the rename.
CREATE OR REPLACE FUNCTION dbo.check_principal_row() RETURNS trigger
LANGUAGE plpgsql SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    IF TG_TABLE_NAME = 'troles' THEN
        IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = NEW.fname AND NOT rolcanlogin AND rolname LIKE 'ORTA%') THEN
            RAISE EXCEPTION 'The role ''%'' does not exist in the current database.', NEW.fname USING ERRCODE = '42704';
        END IF;
    ELSIF NOT EXISTS (SELECT 1 FROM pg_roles r WHERE r.rolname = NEW.UserName AND (r.rolcanlogin OR NEW.Deleted <> 0)
                      AND r.rolname NOT LIKE 'pg\_%'
                      AND NOT (r.rolsuper OR r.rolcreaterole OR r.rolcreatedb OR r.rolreplication OR r.rolbypassrls)
                      AND NOT EXISTS (SELECT 1 FROM pg_auth_members m WHERE m.roleid = r.oid)) THEN
        RAISE EXCEPTION '''%'' is not a valid login or you do not have permission.', NEW.UserName USING ERRCODE = '42704';
    END IF;
    RETURN NEW;
END $$;
DROP TRIGGER IF EXISTS "TR_tRoles_Principal" ON tRoles;
CREATE TRIGGER "TR_tRoles_Principal" BEFORE INSERT OR UPDATE OF fname ON tRoles
    FOR EACH ROW EXECUTE FUNCTION dbo.check_principal_row();
DROP TRIGGER IF EXISTS "TR_UserInfo_Principal" ON UserInfo;
CREATE TRIGGER "TR_UserInfo_Principal" BEFORE INSERT OR UPDATE OF UserName ON UserInfo
    FOR EACH ROW EXECUTE FUNCTION dbo.check_principal_row();
