-- Users, roles and permissions of the workstation.

CREATE TABLE UserInfo (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_UserInfo" PRIMARY KEY,
    UserName varchar(128) NOT NULL CONSTRAINT "IX_UserInfo_UserName" UNIQUE,
    userSurnameNP varchar(100),
    userNameNP varchar(100),
    userPatronymicNP varchar(100),
    Post varchar(100),
    Phone varchar(50)
);

-- The program's roles; fname is the database role ("ORTA-…"); id 1 is the administrators' role.
CREATE TABLE tRoles (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_tRoles" PRIMARY KEY,
    fname varchar(128) NOT NULL CONSTRAINT "IX_tRoles_fname" UNIQUE,
    Notes varchar(255)
);

-- InkUser is UserInfo.id, or 0 for a database user without a UserInfo row (the role dialog writes
-- such rows), hence no reference to UserInfo.
CREATE TABLE tUserRoles (
    InkUser integer NOT NULL,
    InkRole integer NOT NULL CONSTRAINT "FK_tUserRoles_tRoles" REFERENCES tRoles (id) ON DELETE CASCADE,
    CONSTRAINT "PK_tUserRoles" PRIMARY KEY (InkUser, InkRole)
);

-- Registered row-permission tables: tablename is "tRole" + the protected book's table.
CREATE TABLE tDynamicPermissions (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_tDynamicPermissions" PRIMARY KEY,
    tablename varchar(128) NOT NULL,
    name varchar(255)
);

-- Actions; the first letter of name is the action letter.
CREATE TABLE PermissionActions (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_PermissionActions" PRIMARY KEY,
    name varchar(50) NOT NULL,
    notes varchar(255)
);

CREATE TABLE DynPermActions (
    DynPermId integer NOT NULL CONSTRAINT "FK_DynPermActions_tDynamicPermissions"
        REFERENCES tDynamicPermissions (id) ON DELETE CASCADE,
    ActionId integer NOT NULL CONSTRAINT "FK_DynPermActions_PermissionActions" REFERENCES PermissionActions (id),
    CONSTRAINT "PK_DynPermActions" PRIMARY KEY (DynPermId, ActionId)
);

-- Setting (Oper1 '+') or clearing ('-') action ActId of a record sets (Oper2 '+') or clears (any
-- other) action ResActId of the same record.
CREATE TABLE ActionConstraints (
    DynPermsId integer NOT NULL REFERENCES tDynamicPermissions (id) ON DELETE CASCADE,
    ActId integer NOT NULL REFERENCES PermissionActions (id),
    Oper1 char(1) NOT NULL,
    ResActId integer NOT NULL REFERENCES PermissionActions (id),
    Oper2 char(1) NOT NULL
);

-- User parameters: types with defaults, and each user's values.
CREATE TABLE UserPrmsType (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_UserPrmsType" PRIMARY KEY,
    pname varchar(50) NOT NULL CONSTRAINT "IX_UserPrmsType_pname" UNIQUE,
    ptype varchar(20) NOT NULL,
    defvalue varchar(255)
);

CREATE TABLE UserPrms (
    idUser integer NOT NULL CONSTRAINT "FK_UserPrms_UserInfo" REFERENCES UserInfo (id) ON DELETE CASCADE,
    idPrmsType integer NOT NULL CONSTRAINT "FK_UserPrms_UserPrmsType" REFERENCES UserPrmsType (id),
    value varchar(255),
    CONSTRAINT "PK_UserPrms" PRIMARY KEY (idUser, idPrmsType)
);

-- Static permissions: one column per program function; the rights are column grants to roles. The
-- single row says what may be granted for each function: the letters r (read), w (modify), e (run),
-- or "[role]" for a function given by membership of that database role.
CREATE TABLE StaticPermissions (
    "АРМ Администратора" varchar(50),
    "Работа со справочниками" varchar(50),
    "Работа с разрешениями" varchar(50),
    "Поверки" varchar(50),
    "Администрирование прав" varchar(50)
);
INSERT INTO StaticPermissions ("АРМ Администратора", "Работа со справочниками", "Работа с разрешениями", "Поверки",
                               "Администрирование прав")
VALUES ('e', 'rw', 'rw', 'e', '[ORTASecurityAdmin]');

-- Programs of the complex and the role that runs each (soft_id 15 names the system's own services:
-- their run role is a system role).
CREATE TABLE com_soft (
    soft_id integer NOT NULL,
    soft_name varchar(100),
    soft_run_role integer
);

-- Row permissions of instrument types: role InkRole has the actions r (see) and w (change or
-- delete) on record InkId.
CREATE TABLE tRoletMiTypes (
    InkRole integer NOT NULL CONSTRAINT "FK_tRoletMiTypes_tRoles" REFERENCES tRoles (id) ON DELETE CASCADE,
    InkId integer NOT NULL,
    r smallint NOT NULL DEFAULT 0,
    w smallint NOT NULL DEFAULT 0,
    CONSTRAINT "PK_tRoletMiTypes" PRIMARY KEY (InkRole, InkId)
);

INSERT INTO PermissionActions (id, name, notes) OVERRIDING SYSTEM VALUE VALUES
    (1, 'read', 'Просмотр записи'),
    (2, 'write', 'Изменение и удаление записи');
INSERT INTO tDynamicPermissions (id, tablename, name) OVERRIDING SYSTEM VALUE VALUES (1, 'tRoletMiTypes', 'Типы СИ');
INSERT INTO DynPermActions (DynPermId, ActionId) VALUES (1, 1), (1, 2);
-- Whoever may change a record may see it.
INSERT INTO ActionConstraints (DynPermsId, ActId, Oper1, ResActId, Oper2) VALUES (1, 2, '+', 1, '+'), (1, 1, '-', 2, '-');
