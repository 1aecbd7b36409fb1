-- Documents kept in the database and their links to instrument types.

CREATE TABLE DocType (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_DocType" PRIMARY KEY,
    name varchar(100) NOT NULL
);

CREATE TABLE Doc (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_Doc" PRIMARY KEY,
    Descript varchar(255) NOT NULL CONSTRAINT "IX_Doc_Descript" UNIQUE,
    Type integer CONSTRAINT "FK_Doc_DocType" REFERENCES DocType (id),
    FileName varchar(255),
    Format varchar(20),
    Doc bytea,
    InsertDate timestamp(3) NOT NULL DEFAULT getdate(),
    CreatedBy varchar(128) NOT NULL DEFAULT session_user
);

CREATE TABLE DocLinks (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_DocLinks" PRIMARY KEY,
    DocId integer NOT NULL CONSTRAINT "FK_DocLinks_Doc" REFERENCES Doc (id),
    MITypeId integer,
    PassId integer
);
CREATE INDEX "IX_DocLinks_DocId" ON DocLinks (DocId);
CREATE INDEX "IX_DocLinks_MITypeId" ON DocLinks (MITypeId);

-- A document's contents arrive in chunks, each written through the document's "text pointer" as on
-- SQL Server. Rewriting the whole value per chunk would make an upload quadratic in the file's
-- size, so the chunks wait in DocChunks, in order, and are joined into Doc.Doc once, when the
-- transaction commits.
CREATE UNLOGGED TABLE DocChunks (
    DocId integer NOT NULL CONSTRAINT "FK_DocChunks_Doc" REFERENCES Doc (id) ON DELETE CASCADE,
    ChunkOffset bigint NOT NULL,
    Data bytea NOT NULL,
    CONSTRAINT "PK_DocChunks" PRIMARY KEY (DocId, ChunkOffset)
);
-- Chunks live until the commit: logging or compressing them would only cost time (a crash loses
-- nothing that was committed).
ALTER TABLE DocChunks ALTER COLUMN Data SET STORAGE EXTERNAL;

-- textptr(id, Doc): the pointer of a document's contents, null when they are null (SQL Server
-- gives a null column no pointer). Sixteen bytes, as SQL Server's: the document's id and a mark.
CREATE OR REPLACE FUNCTION textptr(doc_id integer, contents bytea) RETURNS bytea
LANGUAGE sql IMMUTABLE AS $$
    SELECT CASE WHEN contents IS NULL THEN NULL
                ELSE int4send(doc_id) || '\x56444f430000000000000000'::bytea END::bytea
$$;

-- updatetext(pointer, offset, length, buffer): replaces the contents from offset on (length null:
-- to the end) with buffer. Runs with the caller's rights on Doc.
CREATE OR REPLACE FUNCTION updatetext(pointer bytea, at_offset bigint, delete_length bigint, buffer bytea)
RETURNS void LANGUAGE plpgsql AS $$
DECLARE
    doc_id integer;
BEGIN
    IF pointer IS NULL OR length(pointer) <> 16 THEN
        RAISE EXCEPTION 'updatetext: invalid text pointer' USING ERRCODE = '22023';
    END IF;
    IF delete_length IS NOT NULL THEN
        RAISE EXCEPTION 'updatetext: only a deletion to the end is supported' USING ERRCODE = '0A000';
    END IF;
    doc_id := (get_byte(pointer, 0) << 24) | (get_byte(pointer, 1) << 16) | (get_byte(pointer, 2) << 8)
              | get_byte(pointer, 3);
    -- The row is locked and must exist; the first chunk empties what was there.
    PERFORM 1 FROM Doc WHERE id = doc_id FOR UPDATE;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'updatetext: the document % does not exist', doc_id USING ERRCODE = '02000';
    END IF;
    IF at_offset = 0 THEN
        UPDATE Doc SET Doc = ''::bytea WHERE id = doc_id;
    END IF;
    DELETE FROM DocChunks WHERE DocId = doc_id AND ChunkOffset >= at_offset;
    INSERT INTO DocChunks (DocId, ChunkOffset, Data) VALUES (doc_id, at_offset, coalesce(buffer, ''::bytea));
END $$;

-- At commit the waiting chunks of a document are joined behind the part of its contents before the
-- first chunk. The first firing for a document does the work; the later ones find nothing.
CREATE OR REPLACE FUNCTION doc_chunks_join() RETURNS trigger LANGUAGE plpgsql AS $$
DECLARE
    first_offset bigint;
BEGIN
    SELECT min(ChunkOffset) INTO first_offset FROM DocChunks WHERE DocId = NEW.DocId;
    IF first_offset IS NULL THEN
        RETURN NULL;
    END IF;
    UPDATE Doc SET Doc = substring(coalesce(Doc, ''::bytea) FROM 1 FOR first_offset::integer)
                         || (SELECT string_agg(Data, ''::bytea ORDER BY ChunkOffset)
                             FROM DocChunks WHERE DocId = NEW.DocId)
    WHERE id = NEW.DocId;
    DELETE FROM DocChunks WHERE DocId = NEW.DocId;
    RETURN NULL;
END $$;

CREATE CONSTRAINT TRIGGER "TR_DocChunks_Join" AFTER INSERT ON DocChunks
    DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION doc_chunks_join();

-- dbo.com_GetMITPathEx(id, separator, skip, levels): the names on the way from an instrument type
-- up its tree, the type's own first, joined by the separator; the first skip names are left out
-- and at most levels names are given (0: all).
CREATE OR REPLACE FUNCTION dbo.com_GetMITPathEx(type_id integer, separator varchar, skip integer, levels integer)
RETURNS varchar LANGUAGE plpgsql STABLE AS $$
DECLARE
    result varchar := NULL;
    current_id integer := type_id;
    name varchar;
    parent integer;
    position integer := 0;
    taken integer := 0;
BEGIN
    WHILE current_id IS NOT NULL AND position < 100 LOOP
        SELECT fName, ParentId INTO name, parent FROM tMiTypes WHERE id = current_id;
        EXIT WHEN NOT FOUND;
        IF position >= skip AND (levels <= 0 OR taken < levels) THEN
            result := CASE WHEN result IS NULL THEN name ELSE result || separator || name END;
            taken := taken + 1;
        END IF;
        position := position + 1;
        current_id := parent;
    END LOOP;
    RETURN result;
END $$;
