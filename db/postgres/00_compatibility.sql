-- SQL Server facilities the workstation calls by name, with the same names, parameters,
-- results and error texts, so that its plain statements run unchanged on PostgreSQL.

CREATE SCHEMA IF NOT EXISTS dbo;

-- Nobody but the owner creates objects in public: a function of a user there could stand in for a
-- built-in one (databases made before PostgreSQL 15, and every upgraded one, allow it).
REVOKE CREATE ON SCHEMA public FROM PUBLIC;

-- Functions below that run with their owner's rights pin their search_path (the built-ins first,
-- pg_temp last) and name what they use, so that no caller's search_path can choose their code.

-- getdate(): the server's current date and time.
CREATE OR REPLACE FUNCTION getdate() RETURNS timestamp
LANGUAGE sql STABLE AS $$ SELECT LOCALTIMESTAMP::timestamp(3) $$;

-- scope_identity(): the identity value last generated in this session, NULL before any. It runs with
-- its owner's rights: lastval() needs rights on the sequence, which an identity column's user lacks.
-- Unlike SQL Server's it sees a trigger's sequences too, so the program never reads a new key here:
-- its INSERT returns its own.
CREATE OR REPLACE FUNCTION scope_identity() RETURNS numeric
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    RETURN pg_catalog.lastval();
EXCEPTION WHEN object_not_in_prerequisite_state THEN
    RETURN NULL;
END $$;

-- Keys are identities that refuse a given value, as on SQL Server. Rows loaded with their keys
-- (OVERRIDING SYSTEM VALUE, the counterpart of SET IDENTITY_INSERT ON) leave the sequence behind;
-- SQL Server moves the identity past such rows itself, here the loader calls this once after them.
-- A sequence already further on stays where it is.
CREATE OR REPLACE FUNCTION dbo.reseed_identities() RETURNS void
LANGUAGE plpgsql SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    col record;
    top bigint;
BEGIN
    FOR col IN
        SELECT format('%I.%I', n.nspname, c.relname) AS tab, a.attname AS name,
               pg_get_serial_sequence(format('%I.%I', n.nspname, c.relname), a.attname) AS seq
        FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid JOIN pg_namespace n ON n.oid = c.relnamespace
        WHERE a.attidentity <> '' AND c.relkind = 'r' AND n.nspname IN ('public', 'dbo')
    LOOP
        EXECUTE format('SELECT max(%I) FROM %s', col.name, col.tab) INTO top;
        IF top IS NOT NULL THEN
            EXECUTE format('SELECT setval(%L, greatest(%s, (SELECT last_value FROM %s)))', col.seq, top, col.seq);
        END IF;
    END LOOP;
END $$;
REVOKE ALL ON FUNCTION dbo.reseed_identities() FROM PUBLIC;

-- object_id('name'): the id of a table or view, NULL when there is none.
CREATE OR REPLACE FUNCTION object_id(object_name text) RETURNS integer
LANGUAGE sql STABLE AS $$ SELECT to_regclass(object_name)::oid::integer $$;

-- permissions(object_id [, column]): the calling login's rights as SQL Server reports them.
-- Table: 1 SELECT, 2 UPDATE, 8 INSERT, 16 DELETE. Column: 1 SELECT, 2 UPDATE. NULL for an unknown
-- object or column.
CREATE OR REPLACE FUNCTION permissions(objid integer, column_name text DEFAULT NULL) RETURNS integer
LANGUAGE plpgsql STABLE AS $$
DECLARE
    rel oid := objid::oid;
    bits integer := 0;
BEGIN
    IF objid IS NULL OR NOT EXISTS (SELECT 1 FROM pg_class WHERE oid = rel) THEN
        RETURN NULL;
    END IF;
    IF column_name IS NULL THEN
        IF has_table_privilege(rel, 'SELECT') THEN bits := bits | 1; END IF;
        IF has_table_privilege(rel, 'UPDATE') THEN bits := bits | 2; END IF;
        IF has_table_privilege(rel, 'INSERT') THEN bits := bits | 8; END IF;
        IF has_table_privilege(rel, 'DELETE') THEN bits := bits | 16; END IF;
        RETURN bits;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM pg_attribute
                   WHERE attrelid = rel AND attname = column_name AND attnum > 0 AND NOT attisdropped) THEN
        RETURN NULL;
    END IF;
    IF has_column_privilege(rel, column_name, 'SELECT') THEN bits := bits | 1; END IF;
    IF has_column_privilege(rel, column_name, 'UPDATE') THEN bits := bits | 2; END IF;
    RETURN bits;
END $$;

-- datalength(x): the size in bytes.
CREATE OR REPLACE FUNCTION datalength(value text) RETURNS integer
LANGUAGE sql IMMUTABLE AS $$ SELECT octet_length(value) $$;
CREATE OR REPLACE FUNCTION datalength(value bytea) RETURNS integer
LANGUAGE sql IMMUTABLE AS $$ SELECT octet_length(value) $$;

-- isnull(value, replacement): of the two types the one both fit in, as count() and 0.
CREATE OR REPLACE FUNCTION isnull(value anycompatible, replacement anycompatible) RETURNS anycompatible
LANGUAGE sql IMMUTABLE AS $$ SELECT COALESCE(value, replacement) $$;

-- Unique numbers for tables (dbo.up_GetID): return_value 0 and the new number in rnNewID, or a
-- negative return_value when no number can be given.
CREATE TABLE IF NOT EXISTS dbo.UniqueIds (
    TableName varchar(128) NOT NULL CONSTRAINT "PK_UniqueIds" PRIMARY KEY,
    LastId integer NOT NULL
);

-- Runs with its owner's rights: every login may draw numbers without rights on the counter table.
CREATE OR REPLACE FUNCTION dbo.up_GetID(psTableName varchar, OUT return_value integer, OUT rnNewID integer)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, dbo, pg_temp AS $$
BEGIN
    IF psTableName IS NULL OR psTableName = '' THEN
        return_value := -1;
        rnNewID := NULL;
        RETURN;
    END IF;
    INSERT INTO dbo.UniqueIds AS u (TableName, LastId) VALUES (psTableName, 1)
    ON CONFLICT (TableName) DO UPDATE SET LastId = u.LastId + 1
    RETURNING u.LastId INTO rnNewID;
    return_value := 0;
END $$;
