-- Versions: the database's own, and which program versions it accepts.

CREATE TABLE infoVersion (
    DBVersion varchar(50) NOT NULL,
    DBVersionIndex integer NOT NULL
);
INSERT INTO infoVersion (DBVersion, DBVersionIndex) VALUES ('1.0', 1);

-- System-wide options of the metrology system (one row): "+"/"-" flags, the instrument type of
-- differential manometers, the books' refresh interval in milliseconds, hierarchy depths of the
-- yearly verification schedules.
CREATE TABLE Settings (
    NewTech char(1),
    NoPos char(1),
    AutoMoveSI char(1),
    DifmanomID varchar(20),
    MoveInterval char(1),
    CreatePos char(1),
    RefInterval integer,
    VrfYearMitypeLevel integer,
    vrfYearSubdivlevel integer
);
INSERT INTO Settings (NewTech, NoPos, AutoMoveSI, DifmanomID, MoveInterval, CreatePos, RefInterval, VrfYearMitypeLevel,
                      vrfYearSubdivlevel)
VALUES ('-', '-', '-', NULL, '+', '-', 600000, 1, 1);

-- Program versions and the answer com_CheckCompatibility gives for them: 400 compatible,
-- 300 outdated but usable, 200 outdated. A version not listed gets 100 (not compatible).
CREATE TABLE SoftCompatibility (
    soft_name varchar(50) NOT NULL,
    ver1 integer NOT NULL,
    ver2 integer NOT NULL,
    ver3 integer NOT NULL,
    ver4 integer NOT NULL,
    sftcmp_id integer NOT NULL,
    CONSTRAINT "PK_SoftCompatibility" PRIMARY KEY (soft_name, ver1, ver2, ver3, ver4)
);

CREATE OR REPLACE FUNCTION com_CheckCompatibility(soft_name varchar, sftrls_ver1 integer, sftrls_ver2 integer,
                                                  sftrls_ver3 integer, sftrls_ver4 integer)
RETURNS TABLE (Permision integer)
LANGUAGE sql STABLE AS $$
    SELECT COALESCE((SELECT s.sftcmp_id FROM SoftCompatibility s
                     WHERE s.soft_name = com_CheckCompatibility.soft_name
                       AND s.ver1 = sftrls_ver1 AND s.ver2 = sftrls_ver2
                       AND s.ver3 = sftrls_ver3 AND s.ver4 = sftrls_ver4), 100)
$$;

-- The workstation is the program 'Quillon'; its build version (CMake project version) is accepted.
INSERT INTO SoftCompatibility VALUES ('Quillon', 1, 0, 0, 1, 400);
