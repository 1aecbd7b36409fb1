-- Reference books.

-- Spheres of state metrological control: an ordinary book with checked codes.
CREATE TABLE SpheresGMK (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_SpheresGMK" PRIMARY KEY,
    Code varchar(2) NOT NULL CONSTRAINT "CK_SpheresGMK_Code" CHECK (Code ~ '^(0[1-9]|1[0-9])$'),
    fName varchar(255) NOT NULL,
    CONSTRAINT "IX_SpheresGMK_Code_UNQ" UNIQUE (Code)
);

-- Employees of the central register (versioned); USER_INFO_ID links an employee to a user.
CREATE TABLE MSUL_EMPLOYEES (
    ID integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_MSUL_EMPLOYEES" PRIMARY KEY,
    ENTITY_ID integer,
    EMPLOYEE_ID integer,
    LASTNAME varchar(100) NOT NULL,
    FIRSTNAME varchar(100),
    MIDDLENAME varchar(100),
    LOCAL_CODE varchar(20),
    POSITION varchar(100),
    USER_INFO_ID integer,
    MARK_CIPHER varchar(20),
    CERT_DATE timestamp(3),
    CERT_PROTOCOL varchar(100),
    HIRED timestamp(3),
    FIRED timestamp(3),
    DEPARTMENT_ID integer,
    CREATE_DATE timestamp(3) NOT NULL DEFAULT getdate(),
    CREATION_ID integer,
    DELETE_DATE timestamp(3),
    DELETION_ID integer
);

CREATE VIEW v_MSUL_EMPLOYEES AS
SELECT ID, ENTITY_ID, EMPLOYEE_ID, LASTNAME, FIRSTNAME, MIDDLENAME, LOCAL_CODE, POSITION, USER_INFO_ID, MARK_CIPHER,
       CERT_DATE, CERT_PROTOCOL, HIRED, FIRED, DEPARTMENT_ID, CREATE_DATE, CREATION_ID, DELETE_DATE, DELETION_ID
FROM MSUL_EMPLOYEES;

-- Departments of the central register: a versioned (MSUL) book. Every version is a row; the
-- logical record is ENTITY_ID; a live version has no DELETION_ID. The columns carry the register's
-- own names, which statements written for either server use.
CREATE TABLE MSUL_DEPARTMENT (
    DEPARTMENT_ID integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_MSUL_DEPARTMENT" PRIMARY KEY,
    ENTITY_ID integer,
    PARENT_ID integer,
    DEPARTMENT_NAME varchar(255) NOT NULL,
    CODE varchar(20),
    CREATE_DATE timestamp(3) NOT NULL DEFAULT getdate(),
    CREATION_ID integer,
    DELETE_DATE timestamp(3),
    DELETION_ID integer
);
CREATE INDEX "IX_MSUL_DEPARTMENT_ENTITY_ID" ON MSUL_DEPARTMENT (ENTITY_ID);

-- The live versions of all departments under the names of a hierarchical book. The view is simple,
-- so the book reads, writes, locks and moves its rows through it on both servers.
CREATE VIEW v_ALL_MSUL_DEPARTMENT AS
SELECT DEPARTMENT_ID AS ID, ENTITY_ID, PARENT_ID AS ParentId, DEPARTMENT_NAME AS FNAME, CODE,
       CREATE_DATE, CREATION_ID, DELETE_DATE, DELETION_ID
FROM MSUL_DEPARTMENT WHERE DELETION_ID IS NULL;

-- Form types of instrument passports.
CREATE TABLE tFormTypes (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_tFormTypes" PRIMARY KEY,
    SName varchar(100) NOT NULL
);

-- Groups and types of measuring instruments: a hierarchical book.
CREATE TABLE tMiTypes (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_tMiTypes" PRIMARY KEY,
    ParentId integer CONSTRAINT "FK_tMiTypes_tMiTypes" REFERENCES tMiTypes (id),
    fName varchar(255) NOT NULL,
    sName varchar(100),
    Code varchar(50),
    lnkFrmType integer CONSTRAINT "FK_tMiTypes_tFormTypes" REFERENCES tFormTypes (id),
    -- The device type of the central register this type is bound to, by its lasting identity
    -- (ENTITY_ID); -2147483647 marks a type that is not a measuring instrument.
    DT_ID integer,
    Notes varchar(255)
);
CREATE INDEX "IX_tMiTypes_ParentId" ON tMiTypes (ParentId);

-- Subdivisions of the laboratory: hierarchical.
CREATE TABLE tSubDivs (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_tSubDivs" PRIMARY KEY,
    ParentId integer CONSTRAINT "FK_tSubDivs_tSubDivs" REFERENCES tSubDivs (id),
    fName varchar(255) NOT NULL,
    sName varchar(50),
    Code varchar(20)
);

-- Types of accounting systems: hierarchical.
CREATE TABLE TypesSU (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_TypesSU" PRIMARY KEY,
    ParentId integer CONSTRAINT "FK_TypesSU_TypesSU" REFERENCES TypesSU (id),
    fName varchar(255) NOT NULL,
    sName varchar(100)
);

CREATE TABLE MsrUnit (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_MsrUnit" PRIMARY KEY,
    sName varchar(20) NOT NULL,
    fName varchar(100) NOT NULL,
    Code varchar(10)
);

CREATE TABLE ParmName (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_ParmName" PRIMARY KEY,
    sName varchar(50) NOT NULL,
    fName varchar(255) NOT NULL
);

-- Which parameters a unit measures.
CREATE TABLE MsrUnitParmName (
    MsrUnitId integer NOT NULL CONSTRAINT "FK_MsrUnitParmName_MsrUnit" REFERENCES MsrUnit (id),
    ParmNameId integer NOT NULL CONSTRAINT "FK_MsrUnitParmName_ParmName" REFERENCES ParmName (id),
    CONSTRAINT "PK_MsrUnitParmName" PRIMARY KEY (MsrUnitId, ParmNameId)
);

-- Block and module types of accounting systems (СУ), each linked to the types of СУ it serves.
CREATE TABLE BlockType (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_BlockType" PRIMARY KEY,
    sName varchar(255) NOT NULL
);

CREATE TABLE BlockSULink (
    IdBlock integer NOT NULL CONSTRAINT "FK_BlockSULink_BlockType" REFERENCES BlockType (id) ON DELETE CASCADE,
    IdTypesSU integer NOT NULL CONSTRAINT "FK_BlockSULink_TypesSU" REFERENCES TypesSU (id),
    CONSTRAINT "PK_BlockSULink" PRIMARY KEY (IdBlock, IdTypesSU)
);

CREATE TABLE ChannelType2 (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_ChannelType2" PRIMARY KEY,
    sName varchar(100) NOT NULL
);

CREATE TABLE ModuleType (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_ModuleType" PRIMARY KEY,
    sName varchar(255) NOT NULL,
    ChannelCount integer,
    ChannelType2 integer CONSTRAINT "FK_ModuleType_ChannelType2" REFERENCES ChannelType2 (id),
    ISFlag char(1) CONSTRAINT "CK_ModuleType_ISFlag" CHECK (ISFlag IN ('+', '-'))
);

CREATE TABLE ModuleSULink (
    IdModule integer NOT NULL CONSTRAINT "FK_ModuleSULink_ModuleType" REFERENCES ModuleType (id) ON DELETE CASCADE,
    IdTypesSU integer NOT NULL CONSTRAINT "FK_ModuleSULink_TypesSU" REFERENCES TypesSU (id),
    CONSTRAINT "PK_ModuleSULink" PRIMARY KEY (IdModule, IdTypesSU)
);

-- States of instruments; the flags hold only '-' or '+'.
CREATE TABLE MMState (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_MMState" PRIMARY KEY,
    SName varchar(100) NOT NULL,
    CheckTP char(1) CONSTRAINT "CK_MMState_CheckTP" CHECK (CheckTP IN ('-', '+')),
    SetOnTP char(1) CONSTRAINT "CK_MMState_SetOnTP" CHECK (SetOnTP IN ('-', '+')),
    Longterm char(1) CONSTRAINT "CK_MMState_Longterm" CHECK (Longterm IN ('-', '+'))
);

-- What becomes of an instrument that takes a state: its subdivision (null: kept; '+': NewSubdivId;
-- '-': the one it is installed in) and its state ('+': NewStateId; '-': the installed one's).
-- One rule per state.
CREATE TABLE MoveStates (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_MoveStates" PRIMARY KEY,
    State integer NOT NULL CONSTRAINT "FK_MoveStates_MMState" REFERENCES MMState (id),
    ChangeSubdivHow char(1) CONSTRAINT "CK_MoveStates_ChangeSubdivHow" CHECK (ChangeSubdivHow IN ('+', '-')),
    NewSubdivId integer CONSTRAINT "FK_MoveStates_tSubDivs" REFERENCES tSubDivs (id),
    ChangeStateHow char(1) CONSTRAINT "CK_MoveStates_ChangeStateHow" CHECK (ChangeStateHow IN ('+', '-')),
    NewStateId integer CONSTRAINT "FK_MoveStates_MMState_New" REFERENCES MMState (id),
    CONSTRAINT "IX_MoveStates_State_UNQ" UNIQUE (State)
);

CREATE TABLE IntervalRef (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_IntervalRef" PRIMARY KEY,
    fName varchar(100) NOT NULL,
    Months integer
);

CREATE TABLE IntervalCycle (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_IntervalCycle" PRIMARY KEY,
    IntervalId integer NOT NULL CONSTRAINT "FK_IntervalCycle_IntervalRef" REFERENCES IntervalRef (id),
    Description varchar(255) NOT NULL
);

-- The steps of a cycle; they go with their cycle.
CREATE TABLE IntervalCycleItems (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_IntervalCycleItems" PRIMARY KEY,
    IntervalCycleID integer NOT NULL
        CONSTRAINT "FK_IntervalCycleItems_IntervalCycle" REFERENCES IntervalCycle (id) ON DELETE CASCADE,
    Period integer NOT NULL,
    Name varchar(100) NOT NULL
);
CREATE INDEX "IX_IntervalCycleItems_IntervalCycleID" ON IntervalCycleItems (IntervalCycleID);

-- Instrument passports and technological passports, kept by the other workstations of the system;
-- here only their references to interval cycles. Their keys are not named id: statements join them
-- with IntervalCycle and select its unqualified id.
CREATE TABLE passport (
    PassportId integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_passport" PRIMARY KEY,
    VrfIntervalCycle integer CONSTRAINT "FK_passport_IntervalCycle" REFERENCES IntervalCycle (id)
);
CREATE TABLE passportTP (
    PassportTPId integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_passportTP" PRIMARY KEY,
    VrfIntervalCycle integer CONSTRAINT "FK_passportTP_IntervalCycle" REFERENCES IntervalCycle (id)
);

-- Yes and no, as the lists of the forms offer them; flags are bits (1 or 0), as on SQL Server.
CREATE TABLE LookUpBoolean (
    BId smallint CONSTRAINT "PK_LookUpBoolean" PRIMARY KEY,
    SName varchar(10) NOT NULL
);
INSERT INTO LookUpBoolean (BId, SName) VALUES (1, 'Да'), (0, 'Нет');

CREATE TABLE VrfOrg (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_VrfOrg" PRIMARY KEY,
    sName varchar(100) NOT NULL,
    KOD varchar(20),
    OwnTesting smallint,
    Director varchar(100),
    Bookkeeper varchar(100),
    PhysicalAddress varchar(255),
    LegalAddress varchar(255),
    BankProp varchar(255),
    Note varchar(50)
);

CREATE TABLE VAT (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_VAT" PRIMARY KEY,
    fName varchar(50) NOT NULL,
    VATValue float8
);

-- The VAT rate of a verification organisation from a date on.
CREATE TABLE VATHistory (
    VrfOrgId integer NOT NULL CONSTRAINT "FK_VATHistory_VrfOrg" REFERENCES VrfOrg (id) ON DELETE CASCADE,
    VATId integer NOT NULL CONSTRAINT "FK_VATHistory_VAT" REFERENCES VAT (id),
    VATDate timestamp(3) NOT NULL
);
CREATE INDEX "IX_VATHistory_VrfOrgId" ON VATHistory (VrfOrgId);

CREATE TABLE VrfType (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_VrfType" PRIMARY KEY,
    fName varchar(100) NOT NULL
);

-- Tariffs of verification work ('+' valid, '-' not), their prices from a date on, and what they apply
-- to: verification kinds, instrument types or groups, verification organisations.
CREATE TABLE Tariff (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_Tariff" PRIMARY KEY,
    fName varchar(255) NOT NULL CONSTRAINT "IX_Tariff" UNIQUE,
    Status char(1) NOT NULL DEFAULT '+' CONSTRAINT "CK_Tariff_Status" CHECK (Status IN ('+', '-'))
);

CREATE TABLE TariffHistory (
    TariffId integer NOT NULL CONSTRAINT "FK_TariffHistory_Tariff" REFERENCES Tariff (id) ON DELETE CASCADE,
    Price float8 NOT NULL,
    TariffDate timestamp(3) NOT NULL,
    CONSTRAINT "PK_TariffHistory" PRIMARY KEY (TariffId, TariffDate)
);

-- The current price of each tariff: its latest history row.
CREATE VIEW v_TariffPrice AS
SELECT DISTINCT ON (TariffId) TariffId, Price, TariffDate FROM TariffHistory ORDER BY TariffId, TariffDate DESC;

CREATE TABLE TariffVrfType (
    TariffId integer NOT NULL CONSTRAINT "FK_TariffVrfType_Tariff" REFERENCES Tariff (id) ON DELETE CASCADE,
    VrfTypeId integer NOT NULL CONSTRAINT "FK_TariffVrfType_VrfType" REFERENCES VrfType (id),
    CONSTRAINT "PK_TariffVrfType" PRIMARY KEY (TariffId, VrfTypeId)
);

CREATE TABLE TarifftMiTypes (
    TariffId integer NOT NULL CONSTRAINT "FK_TarifftMiTypes_Tariff" REFERENCES Tariff (id) ON DELETE CASCADE,
    MITypeId integer NOT NULL CONSTRAINT "FK_TarifftMiTypes_tMiTypes" REFERENCES tMiTypes (id),
    CONSTRAINT "PK_TarifftMiTypes" PRIMARY KEY (TariffId, MITypeId)
);

CREATE TABLE TariffVrfOrg (
    TariffId integer NOT NULL CONSTRAINT "FK_TariffVrfOrg_Tariff" REFERENCES Tariff (id) ON DELETE CASCADE,
    VrfOrgId integer NOT NULL CONSTRAINT "FK_TariffVrfOrg_VrfOrg" REFERENCES VrfOrg (id),
    CONSTRAINT "PK_TariffVrfOrg" PRIMARY KEY (TariffId, VrfOrgId)
);

CREATE TABLE optnl_parameters (
    optyp_id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_optnl_parameters" PRIMARY KEY,
    optyp_name varchar(255) NOT NULL,
    ParamType varchar(20)
);
-- Values of the optional parameters in instrument passports.
CREATE TABLE passport_optnl_parameters (
    id integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_passport_optnl_parameters" PRIMARY KEY,
    passport_id integer NOT NULL,
    optyp_id integer NOT NULL CONSTRAINT "FK_passport_optnl_parameters_optnl_parameters"
        REFERENCES optnl_parameters (optyp_id),
    optyp_value varchar(255)
);

-- Versioned books of the central register.
-- Areas of measurement and the codifier of the central register. A codifier code begins with its
-- area's two-character code; the row whose code is the area's own code stands for the whole area.
CREATE TABLE MSUL_MEASURE_TYPE (
    MEASURE_TYPE_CODE_ID integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_MSUL_MEASURE_TYPE" PRIMARY KEY,
    MEASURE_TYPE_CODE varchar(2) NOT NULL,
    MEASURE_TYPE_NAME varchar(255) NOT NULL,
    DELETION_ID integer
);
CREATE VIEW v_MSUL_MEASURE_TYPE AS
SELECT MEASURE_TYPE_CODE_ID, MEASURE_TYPE_CODE, MEASURE_TYPE_NAME, DELETION_ID FROM MSUL_MEASURE_TYPE;

CREATE TABLE MSUL_CODIFF (
    CODIFF_CODE_ID integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_MSUL_CODIFF" PRIMARY KEY,
    ORIGINAL_CODIFF_CODE varchar(20) NOT NULL,
    CODIFF_CODE varchar(20) NOT NULL,
    MEASURE_TYPE_NAME varchar(255) NOT NULL,
    DELETION_ID integer
);
CREATE VIEW v_MSUL_CODIFF AS
SELECT CODIFF_CODE_ID, ORIGINAL_CODIFF_CODE, CODIFF_CODE, MEASURE_TYPE_NAME, DELETION_ID FROM MSUL_CODIFF;

-- The current departments by their lasting identity (what other records keep as a department).
CREATE VIEW v_MSUL_DEPARTMENT AS
SELECT ENTITY_ID AS DEPARTMENT_ID, PARENT_ID, DEPARTMENT_NAME, CODE FROM MSUL_DEPARTMENT WHERE DELETION_ID IS NULL;

-- Device types of the register of measuring instruments (versioned). Central records come from
-- the centrally maintained register (LOCAL_FLAG 0 or null) and are never changed here; local
-- records (LOCAL_FLAG 1) are made in this database, often as copies of a central one (CENTER_ID).
CREATE TABLE MSUL_DEVICE_TYPE (
    DT_ID integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_MSUL_DEVICE_TYPE" PRIMARY KEY,
    ENTITY_ID integer,
    CENTER_ID integer,
    DEVICE_NAME varchar(255) NOT NULL,
    DEVICE_MARK varchar(255),
    TYPE_STR varchar(255),
    DEV_CODE varchar(50),
    ORIGINAL_CODIFF varchar(20),
    CODIFF varchar(20),
    TIME_NORMA numeric(10, 2),
    PERIOD integer,
    ORIGINAL_PERIOD integer,
    GOS_NO varchar(50),
    METHOD varchar(255),
    MARK_TYPE_ID integer,
    MEASURE_TYPE_CODE_ID integer,
    LOCAL_COMMENT varchar(255),
    DEFAULT_DEPARTMENT integer,
    MASS double precision,
    LOCAL_FLAG smallint DEFAULT 0,
    GRADE_OF_ACCURACY varchar(100),
    MEASUREMENT_RANGE varchar(255),
    CERTIFICATION_NUMBER varchar(50),
    CERTIFICATION_FINISH_DATE timestamp(3),
    MANUFACTURER varchar(255),
    METROLOGICAL_BEHAVIOURS varchar(1000),
    DEPRECATED smallint DEFAULT 0,
    CREATE_DATE timestamp(3) NOT NULL DEFAULT getdate(),
    CREATION_ID integer,
    DELETE_DATE timestamp(3),
    DELETION_ID integer
);
CREATE INDEX "IX_MSUL_DEVICE_TYPE_ENTITY_ID" ON MSUL_DEVICE_TYPE (ENTITY_ID);

-- The current rows with their own keys: what is edited and written as new versions.
CREATE VIEW v_ADM_MSUL_DEVICE_TYPE AS
SELECT DT_ID, ENTITY_ID, CENTER_ID, DEVICE_NAME, DEVICE_MARK, TYPE_STR, DEV_CODE, ORIGINAL_CODIFF, CODIFF,
       TIME_NORMA, PERIOD, ORIGINAL_PERIOD, GOS_NO, METHOD, MARK_TYPE_ID, MEASURE_TYPE_CODE_ID, LOCAL_COMMENT,
       DEFAULT_DEPARTMENT, MASS, LOCAL_FLAG, GRADE_OF_ACCURACY, MEASUREMENT_RANGE, CERTIFICATION_NUMBER,
       CERTIFICATION_FINISH_DATE, MANUFACTURER, METROLOGICAL_BEHAVIOURS, DEPRECATED, CREATE_DATE, CREATION_ID,
       DELETE_DATE, DELETION_ID
FROM MSUL_DEVICE_TYPE WHERE DELETION_ID IS NULL;
-- The current records by their lasting identity: DT_ID is the record's ENTITY_ID, so that a type
-- bound to a record stays bound to it across its versions.
CREATE VIEW v_MSUL_DEVICE_TYPE AS
SELECT ENTITY_ID AS DT_ID, ENTITY_ID, CENTER_ID, DEVICE_NAME, DEVICE_MARK, TYPE_STR, DEV_CODE, ORIGINAL_CODIFF,
       CODIFF, TIME_NORMA, PERIOD, ORIGINAL_PERIOD, GOS_NO, METHOD, MARK_TYPE_ID, MEASURE_TYPE_CODE_ID,
       LOCAL_COMMENT, DEFAULT_DEPARTMENT, MASS, LOCAL_FLAG, GRADE_OF_ACCURACY, MEASUREMENT_RANGE,
       CERTIFICATION_NUMBER, CERTIFICATION_FINISH_DATE, MANUFACTURER, METROLOGICAL_BEHAVIOURS, DEPRECATED,
       CREATE_DATE, CREATION_ID, DELETE_DATE, DELETION_ID
FROM MSUL_DEVICE_TYPE WHERE DELETION_ID IS NULL;
CREATE VIEW v_MSUL_DEVICE_TYPE_LOCAL AS SELECT * FROM v_MSUL_DEVICE_TYPE WHERE LOCAL_FLAG = 1;

-- Kinds of owners and the regions' codes (OKATO) of the central register.
CREATE TABLE MSUL_CUSTOMER_TYPE (
    ID integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_MSUL_CUSTOMER_TYPE" PRIMARY KEY,
    SName varchar(100) NOT NULL,
    DELETION_ID integer
);
CREATE VIEW v_MSUL_CUSTOMER_TYPE AS SELECT * FROM MSUL_CUSTOMER_TYPE;

CREATE TABLE MSUL_OKATO (
    ID integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_MSUL_OKATO" PRIMARY KEY,
    OKATO_CODE varchar(11) NOT NULL,
    OKATO_NAME varchar(255) NOT NULL,
    COMMENT varchar(255),
    DELETION_ID integer
);
CREATE VIEW v_MSUL_OKATO AS SELECT * FROM MSUL_OKATO;

-- Owners of instruments: a versioned book.
CREATE TABLE MSUL_CUSTOMER (
    ID integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_MSUL_CUSTOMER" PRIMARY KEY,
    ENTITY_ID integer,
    LOCAL_CODE varchar(20),
    CUSTOMER_NAME varchar(255) NOT NULL,
    CUSTOMER_TYPE_ID integer,
    INN varchar(12),
    KPP varchar(9),
    OKPO varchar(14),
    OKONH varchar(20),
    OKATO varchar(11),
    POSTCODE varchar(10),
    ADDRESS varchar(255),
    REGION varchar(100),
    POSTCODE_FACT varchar(10),
    ADDRESS_FACT varchar(255),
    REGION_FACT varchar(100),
    PHONE varchar(50),
    FAX varchar(50),
    E_MAIL varchar(100),
    DIRECTOR_POSITION varchar(100),
    DIRECTOR varchar(100),
    CONTACT_PERSON varchar(100),
    CONTACT_PHONE varchar(50),
    CREATE_DATE timestamp(3) NOT NULL DEFAULT getdate(),
    CREATION_ID integer,
    DELETE_DATE timestamp(3),
    DELETION_ID integer
);
CREATE VIEW v_MSUL_CUSTOMER AS SELECT * FROM MSUL_CUSTOMER WHERE DELETION_ID IS NULL;

CREATE TABLE MSUL_CALIBRATION_ORDERS (
    ID integer GENERATED ALWAYS AS IDENTITY CONSTRAINT "PK_MSUL_CALIBRATION_ORDERS" PRIMARY KEY,
    ENTITY_ID integer,
    ORDER_NUMBER varchar(30) NOT NULL,
    ORDER_DATE timestamp(3),
    CUSTOMER_NAME varchar(255),
    CLOSE_DATE timestamp(3),
    CREATE_DATE timestamp(3) NOT NULL DEFAULT getdate(),
    CREATION_ID integer,
    DELETE_DATE timestamp(3),
    DELETION_ID integer
);
CREATE VIEW v_MSUL_CALIBRATION_ORDERS AS SELECT * FROM MSUL_CALIBRATION_ORDERS WHERE DELETION_ID IS NULL;

-- Row permissions of subdivisions.
CREATE TABLE tRoletSubDivs (
    InkRole integer NOT NULL CONSTRAINT "FK_tRoletSubDivs_tRoles" REFERENCES tRoles (id) ON DELETE CASCADE,
    InkId integer NOT NULL,
    r smallint NOT NULL DEFAULT 0,
    w smallint NOT NULL DEFAULT 0,
    CONSTRAINT "PK_tRoletSubDivs" PRIMARY KEY (InkRole, InkId)
);
INSERT INTO tDynamicPermissions (id, tablename, name) OVERRIDING SYSTEM VALUE VALUES (2, 'tRoletSubDivs', 'Подразделения');
INSERT INTO DynPermActions (DynPermId, ActionId) VALUES (2, 1), (2, 2);

-- The identities past the keys given above.
SELECT dbo.reseed_identities();
