-- What every login may read to sign in and learn its own rights. Everything else is granted to
-- the "ORTA-…" roles.
GRANT USAGE ON SCHEMA dbo TO PUBLIC;
GRANT SELECT ON UserInfo, tRoles, tUserRoles, tDynamicPermissions, PermissionActions, DynPermActions,
    ActionConstraints, UserPrmsType, UserPrms, SoftCompatibility, infoVersion, MSUL_EMPLOYEES, v_MSUL_EMPLOYEES,
    tRoletMiTypes, tRoletSubDivs, sysusers
    TO PUBLIC;

-- Security administrators keep the roles, their members and their row permissions.
GRANT SELECT, INSERT, UPDATE, DELETE ON tRoles, tUserRoles, UserInfo, tRoletMiTypes, tRoletSubDivs TO "ORTASecurityAdmin";
GRANT SELECT ON StaticPermissions, com_soft TO "ORTASecurityAdmin";

-- The roles of the program a login holds: its tUserRoles rows whose server role it is a member of.
CREATE OR REPLACE FUNCTION dbo.login_role_ids(login_name name) RETURNS integer[]
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
    SELECT COALESCE(array_agg(r.id), '{}')
    FROM public.tUserRoles ur JOIN public.UserInfo u ON u.id = ur.InkUser JOIN public.tRoles r ON r.id = ur.InkRole
    WHERE u.UserName = login_name AND pg_has_role(login_name, r.fname, 'MEMBER')
$$;

-- The records this transaction has inserted into a protected book, in a temporary table of the
-- session that only the owner of these functions may write (one the login made himself under that
-- name is refused); a rolled-back savepoint takes its rows with it, a commit empties it.
CREATE OR REPLACE FUNCTION dbo.new_records_table() RETURNS regclass
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    found regclass := to_regclass('pg_temp.vestar_new_records');
BEGIN
    IF found IS NULL THEN
        CREATE TEMP TABLE vestar_new_records (book text, id integer) ON COMMIT DELETE ROWS;
        found := to_regclass('pg_temp.vestar_new_records');
    END IF;
    IF (SELECT relowner FROM pg_class WHERE oid = found) <> (SELECT oid FROM pg_roles WHERE rolname = current_user) THEN
        RAISE EXCEPTION 'The session''s list of new records is not the server''s own.' USING ERRCODE = '42501';
    END IF;
    RETURN found;
END $$;
REVOKE ALL ON FUNCTION dbo.new_records_table() FROM PUBLIC;

CREATE OR REPLACE FUNCTION dbo.note_new_record() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    EXECUTE format('INSERT INTO %s (book, id) VALUES ($1, $2)', dbo.new_records_table()) USING TG_TABLE_NAME, NEW.id;
    RETURN NULL;
END $$;

-- Row permissions are kept by the security administrators. Anyone else writes them only for a
-- record his own transaction has just inserted (saving a new record writes its roles' rows), under
-- a parent he may change; he never changes or takes away another record's rights. TG_ARGV[0] is
-- the book the table protects.
CREATE OR REPLACE FUNCTION dbo.guard_row_permissions() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    book text := TG_ARGV[0];
    rights text := TG_TABLE_NAME;
    record_id integer := CASE WHEN TG_OP = 'DELETE' THEN OLD.InkId ELSE NEW.InkId END;
    caller name := session_user;
    created boolean;
    exists_now boolean;
    parent integer;
    may_write boolean;
BEGIN
    IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = caller AND rolsuper)
       OR pg_has_role(caller, 'ORTASecurityAdmin', 'MEMBER') THEN
        RETURN CASE WHEN TG_OP = 'DELETE' THEN OLD ELSE NEW END;
    END IF;
    IF TG_OP = 'UPDATE' AND NEW.InkId <> OLD.InkId THEN
        RAISE EXCEPTION 'The row permissions of a record are not moved to another.' USING ERRCODE = '42501';
    END IF;
    EXECUTE format('SELECT true FROM public.%I WHERE id = $1', book) INTO exists_now USING record_id;
    -- A record deleted by this transaction takes its rights with it.
    IF TG_OP = 'DELETE' AND exists_now IS NULL THEN
        RETURN OLD;
    END IF;
    EXECUTE format('SELECT EXISTS (SELECT 1 FROM %s WHERE book = $1 AND id = $2)', dbo.new_records_table())
        INTO created USING book, record_id;
    IF NOT created THEN
        RAISE EXCEPTION 'The % permission was denied on the object ''%''.', TG_OP, rights USING ERRCODE = '42501';
    END IF;
    IF EXISTS (SELECT 1 FROM pg_attribute WHERE attrelid = format('public.%I', book)::regclass
               AND attname = 'parentid' AND NOT attisdropped) THEN
        EXECUTE format('SELECT ParentId FROM public.%I WHERE id = $1', book) INTO parent USING record_id;
        IF parent IS NOT NULL AND NOT 1 = ANY (dbo.login_role_ids(caller)) THEN
            EXECUTE format('SELECT EXISTS (SELECT 1 FROM public.%I p WHERE p.InkId = $1 AND p.w <> 0 '
                           'AND p.InkRole = ANY ($2))', rights)
                INTO may_write USING parent, dbo.login_role_ids(caller);
            IF NOT may_write THEN
                RAISE EXCEPTION 'The % permission was denied on the object ''%''.', TG_OP, rights
                    USING ERRCODE = '42501';
            END IF;
        END IF;
    END IF;
    RETURN CASE WHEN TG_OP = 'DELETE' THEN OLD ELSE NEW END;
END $$;

DO $$
DECLARE
    rights text;
    book text;
BEGIN
    FOR rights IN SELECT lower(tablename) FROM tDynamicPermissions WHERE tablename ILIKE 'tRole%' LOOP
        book := substr(rights, 6);
        EXECUTE format('DROP TRIGGER IF EXISTS "TR_GuardRowPermissions" ON %I', rights);
        EXECUTE format('CREATE TRIGGER "TR_GuardRowPermissions" BEFORE INSERT OR UPDATE OR DELETE ON %I '
                       'FOR EACH ROW EXECUTE FUNCTION dbo.guard_row_permissions(%L)', rights, book);
        EXECUTE format('DROP TRIGGER IF EXISTS "TR_NoteNewRecord" ON %I', book);
        EXECUTE format('CREATE TRIGGER "TR_NoteNewRecord" AFTER INSERT ON %I '
                       'FOR EACH ROW EXECUTE FUNCTION dbo.note_new_record()', book);
    END LOOP;
END $$;
