-- The warranty-card database as the embedded backend keeps it: the same
-- tables and columns as the SQL Server scripts in db/sqlserver/. Text columns
-- compare without regard to letter case, as SQL Server's default collation does.

PRAGMA journal_mode = WAL;

-- Lab and other accounts of the central office.
CREATE TABLE IF NOT EXISTS tblMaker (
    fldsn         INTEGER PRIMARY KEY AUTOINCREMENT,  -- the lab's key
    fldId         TEXT NOT NULL COLLATE NOCASE UNIQUE, -- account number
    fldpassword   TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    fldstate      TEXT NOT NULL DEFAULT '01' COLLATE NOCASE, -- '01' active
    fldcontactor  TEXT COLLATE NOCASE,
    fldmakername  TEXT COLLATE NOCASE,
    fldmakertype  TEXT NOT NULL DEFAULT '01' COLLATE NOCASE, -- '01' lab
    fldphone      TEXT COLLATE NOCASE,
    fldmakercode  TEXT COLLATE NOCASE,
    fldsame       INTEGER                               -- key of a related lab, or NULL
);

-- System items: Company, Version (the database version), System.
CREATE TABLE IF NOT EXISTS tblSystem (
    flditemname    TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,
    flditemCaption TEXT COLLATE NOCASE
);

-- Products the labs record cards for; the first letter of a key is the
-- letter of that product's cards.
CREATE TABLE IF NOT EXISTS tblProduct (
    fldPrdKey  TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,
    fldPrdName TEXT NOT NULL COLLATE NOCASE,
    fldstate   TEXT NOT NULL DEFAULT '01' COLLATE NOCASE,
    fldWarrantyMonths INTEGER          -- warranty term in months, or NULL: none
);

-- Warranty records. Status '00' pending, '01' submitted, '02' published,
-- '03' sent back by the central office with a reason in fldreturnmemo.
CREATE TABLE IF NOT EXISTS tblrecord (
    fldsn          INTEGER PRIMARY KEY AUTOINCREMENT,
    fldMsn         INTEGER NOT NULL,   -- the lab's key (tblMaker.fldsn)
    fldmaker       TEXT COLLATE NOCASE, -- the lab's account number
    fldPrdName     TEXT COLLATE NOCASE, -- the product's key
    fldPrdNo       TEXT COLLATE NOCASE, -- card number: letter and digits
    fldPLName      TEXT COLLATE NOCASE,
    fldPFName      TEXT COLLATE NOCASE,
    fldDLName      TEXT COLLATE NOCASE,
    fldDFName      TEXT COLLATE NOCASE,
    fldHospital    TEXT COLLATE NOCASE,
    fldOpTime      TEXT COLLATE NOCASE, -- treatment date, yyyy-mm-dd
    fldPdTime      TEXT COLLATE NOCASE, -- production date, yyyy-mm-dd
    fldOpDesp      TEXT COLLATE NOCASE,
    fldMemo        TEXT COLLATE NOCASE,
    fldStatus      TEXT NOT NULL DEFAULT '00' COLLATE NOCASE,
    fldsubmitDate  TEXT COLLATE NOCASE,
    fldpublishDate TEXT COLLATE NOCASE,
    fldreturnmemo  TEXT COLLATE NOCASE
);
CREATE INDEX IF NOT EXISTS ixRecordMakerStatus ON tblrecord (fldMsn, fldStatus);
-- Also what the look-up of a card number (or its first part) and the
-- counting of a card range read.
CREATE INDEX IF NOT EXISTS ixRecordPrdNo ON tblrecord (fldPrdNo, fldStatus);
-- A card number is submitted once: at most one record of a number with a
-- status above '00' (sent-back records hold their number too). The database
-- refuses the second, whichever workstation or tool writes it. A database
-- made without it gets it when the program opens it.
CREATE UNIQUE INDEX IF NOT EXISTS ixRecordCardHeld ON tblrecord (fldPrdNo) WHERE fldStatus > '00';
-- The statistics: a lab's records by production date, with what they are
-- counted by, so that the counts are read from the index alone.
CREATE INDEX IF NOT EXISTS ixRecordMakerPdTime ON tblrecord (fldMsn, fldPdTime, fldStatus, fldPrdName, fldHospital);

-- Card-number ranges issued to the labs.
CREATE TABLE IF NOT EXISTS tblProductNoSet (
    fldsn        INTEGER PRIMARY KEY AUTOINCREMENT,
    fldPrdNoFrom TEXT NOT NULL COLLATE NOCASE,
    fldPrdNoTo   TEXT NOT NULL COLLATE NOCASE,
    fldmaker     INTEGER NOT NULL    -- the lab's key (tblMaker.fldsn)
);
CREATE INDEX IF NOT EXISTS ixNoSetMaker ON tblProductNoSet (fldmaker, fldPrdNoFrom);

-- Files kept in the database: "Update" and "System" are the two programs of
-- an update.
CREATE TABLE IF NOT EXISTS tblBasReportFile (
    fldRptId   TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,
    fldName    TEXT COLLATE NOCASE,
    FldVersion TEXT COLLATE NOCASE,
    fldFile    BLOB
);

-- Grid header layouts: fldW columns, each with header text, alignment, width.
CREATE TABLE IF NOT EXISTS dicOpMenus (
    fldkey TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,
    fldW   INTEGER NOT NULL DEFAULT 0,
    fldN1 TEXT, fldA1 INTEGER, fldW1 INTEGER,
    fldN2 TEXT, fldA2 INTEGER, fldW2 INTEGER,
    fldN3 TEXT, fldA3 INTEGER, fldW3 INTEGER,
    fldN4 TEXT, fldA4 INTEGER, fldW4 INTEGER,
    fldN5 TEXT, fldA5 INTEGER, fldW5 INTEGER,
    fldN6 TEXT, fldA6 INTEGER, fldW6 INTEGER,
    fldN7 TEXT, fldA7 INTEGER, fldW7 INTEGER,
    fldN8 TEXT, fldA8 INTEGER, fldW8 INTEGER,
    fldN9 TEXT, fldA9 INTEGER, fldW9 INTEGER,
    fldN10 TEXT, fldA10 INTEGER, fldW10 INTEGER,
    fldN11 TEXT, fldA11 INTEGER, fldW11 INTEGER,
    fldN12 TEXT, fldA12 INTEGER, fldW12 INTEGER
);

-- Code lists offered by upVBasShow.
CREATE TABLE IF NOT EXISTS dicBasCode (
    fldType TEXT NOT NULL COLLATE NOCASE,
    fldCode TEXT NOT NULL COLLATE NOCASE,
    fldName TEXT COLLATE NOCASE,
    fldSort INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (fldType, fldCode)
);

-- The execution log written by upDSYSExecLog after every successful write.
CREATE TABLE IF NOT EXISTS tblExecLog (
    fldsn        INTEGER PRIMARY KEY AUTOINCREMENT,
    fldTime      TEXT NOT NULL,
    fldStatement TEXT,
    fldParams    TEXT,
    fldOpNo      TEXT
);
