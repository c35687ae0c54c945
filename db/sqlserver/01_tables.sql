-- Tables and indexes of the warranty-card database on SQL Server.
-- Run with: sqlcmd -S server -d database -i 01_tables.sql
-- The embedded database (db/embedded/schema.sql) has the same tables and columns.

-- The client writes Chinese text as plain quoted literals, which SQL Server
-- converts through the code page of the database's default collation: on a
-- database whose collation is neither Chinese (code page 936, for example
-- Chinese_PRC_CI_AS) nor UTF-8 (65001), every Chinese name would be stored
-- as "?". Such a database is refused here, and NOEXEC keeps every later
-- batch of this script from running. Create the database with
-- 00_database.sql (or CREATE DATABASE ... COLLATE Chinese_PRC_CI_AS).
IF COLLATIONPROPERTY(CONVERT(NVARCHAR(128), DATABASEPROPERTYEX(DB_NAME(), 'Collation')), 'CodePage') NOT IN (936, 65001)
BEGIN
    RAISERROR (N'This database''s collation cannot hold Chinese text. Create it with a Chinese collation: CREATE DATABASE name COLLATE Chinese_PRC_CI_AS (see 00_database.sql), then run this script in it.', 16, 1);
    SET NOEXEC ON;
END;
GO

CREATE TABLE dbo.tblMaker (
    fldsn INT IDENTITY (1, 1) NOT NULL PRIMARY KEY,
    fldId VARCHAR(20) NOT NULL UNIQUE,
    fldpassword VARCHAR(50) NOT NULL DEFAULT '',
    fldstate CHAR(2) NOT NULL DEFAULT '01',
    fldcontactor NVARCHAR(50) NULL,
    fldmakername NVARCHAR(100) NULL,
    fldmakertype CHAR(2) NOT NULL DEFAULT '01',
    fldphone VARCHAR(50) NULL,
    fldmakercode VARCHAR(20) NULL,
    fldsame INT NULL
);
GO

CREATE TABLE dbo.tblSystem (
    flditemname VARCHAR(50) NOT NULL PRIMARY KEY,
    flditemCaption NVARCHAR(200) NULL
);
GO

CREATE TABLE dbo.tblProduct (
    fldPrdKey VARCHAR(20) NOT NULL PRIMARY KEY,
    fldPrdName NVARCHAR(100) NOT NULL,
    fldstate CHAR(2) NOT NULL DEFAULT '01',
    fldWarrantyMonths INT NULL -- warranty term in months, or NULL: none
);
GO

CREATE TABLE dbo.tblrecord (
    fldsn INT IDENTITY (1, 1) NOT NULL PRIMARY KEY,
    fldMsn INT NOT NULL,
    fldmaker VARCHAR(20) NULL,
    fldPrdName VARCHAR(20) NULL,
    fldPrdNo VARCHAR(20) NULL,
    fldPLName NVARCHAR(25) NULL,
    fldPFName NVARCHAR(25) NULL,
    fldDLName NVARCHAR(25) NULL,
    fldDFName NVARCHAR(25) NULL,
    fldHospital NVARCHAR(50) NULL,
    fldOpTime VARCHAR(10) NULL,
    fldPdTime VARCHAR(10) NULL,
    fldOpDesp NVARCHAR(100) NULL,
    fldMemo NVARCHAR(250) NULL,
    fldStatus CHAR(2) NOT NULL DEFAULT '00',
    fldsubmitDate VARCHAR(10) NULL,
    fldpublishDate VARCHAR(10) NULL,
    fldreturnmemo NVARCHAR(250) NULL,
    fldLot NVARCHAR(30) NULL,
    fldTeeth NVARCHAR(120) NULL,
    fldShade NVARCHAR(20) NULL
);
GO

CREATE INDEX ixRecordMakerStatus ON dbo.tblrecord (fldMsn, fldStatus);
GO

-- Also what the look-up of a card number (or its first part) and the
-- counting of a card range read.
CREATE INDEX ixRecordPrdNo ON dbo.tblrecord (fldPrdNo, fldStatus);
GO

-- The statistics: a lab's records by production date, covering what they
-- are counted by.
CREATE INDEX ixRecordMakerPdTime ON dbo.tblrecord (fldMsn, fldPdTime)
    INCLUDE (fldStatus, fldPrdName, fldHospital);
GO

-- A card number is submitted once: the database refuses a second record of
-- one number with a status above '00' (sent-back records hold their number
-- too), whichever client writes it. Each number held is a key of its own in
-- tblCardHeld, kept by the trigger below in the same statement as the change
-- of the record: the primary key refuses a second holder under any isolation
-- level (read-committed snapshot included), and a plain key asks nothing of
-- the writing connections' SET options (a filtered or computed-column index,
-- or an indexed view, would fail every write of a client without them).
-- The same statements of 04_card_held.sql bring an older database up to it.
CREATE TABLE dbo.tblCardHeld (
    fldPrdNo VARCHAR(20) NOT NULL CONSTRAINT pkCardHeld PRIMARY KEY,
    fldsn INT NOT NULL CONSTRAINT uqCardHeldRecord UNIQUE
);
GO

-- The numbers a statement's records give up are released, then the ones
-- they hold are taken; a number another record holds fails the key and the
-- whole statement with it (a trigger's error ends its transaction). The
-- counts of its own statements are kept from the client's row count.
CREATE TRIGGER dbo.trgRecordCardHeld ON dbo.tblrecord
AFTER INSERT, UPDATE, DELETE
AS
BEGIN
    SET NOCOUNT ON;
    DELETE h
    FROM dbo.tblCardHeld AS h
    INNER JOIN deleted AS d ON h.fldsn = d.fldsn
    WHERE NOT EXISTS (
        SELECT 1 FROM inserted AS i
        WHERE i.fldsn = d.fldsn AND i.fldStatus > '00' AND i.fldPrdNo = h.fldPrdNo
    );
    INSERT INTO dbo.tblCardHeld (fldPrdNo, fldsn)
    SELECT i.fldPrdNo, i.fldsn
    FROM inserted AS i
    WHERE
        i.fldStatus > '00' AND i.fldPrdNo IS NOT NULL
        AND NOT EXISTS (SELECT 1 FROM dbo.tblCardHeld AS h WHERE h.fldsn = i.fldsn);
END
GO

-- A lab's cards of one material lot (a recall), and its earlier lots.
CREATE INDEX ixRecordMakerLot ON dbo.tblrecord (fldMsn, fldLot);
GO

-- Each record's history, written by the trigger below whoever changes the
-- record: its insert, every change of status or reason, its delete, with
-- the login and host the server names. No IDENTITY column: the trigger's
-- insert must leave @@identity at the record's key. fldStep counts the
-- record's events from 1. 05_lot_teeth_history.sql brings an older
-- database up to it.
CREATE TABLE dbo.tblRecordHistory (
    fldsn INT NOT NULL,
    fldStep INT NOT NULL,
    fldTime DATETIME2(3) NOT NULL CONSTRAINT dfRecordHistoryTime DEFAULT SYSDATETIME(),
    fldPrdNo VARCHAR(20) NULL,
    fldMsn INT NULL,
    fldOldStatus CHAR(2) NULL,
    fldNewStatus CHAR(2) NULL,
    fldOldReason NVARCHAR(250) NULL,
    fldNewReason NVARCHAR(250) NULL,
    fldLogin NVARCHAR(128) NULL CONSTRAINT dfRecordHistoryLogin DEFAULT SUSER_SNAME(),
    fldHost NVARCHAR(128) NULL CONSTRAINT dfRecordHistoryHost DEFAULT HOST_NAME(),
    CONSTRAINT pkRecordHistory PRIMARY KEY (fldsn, fldStep)
);
GO

CREATE TRIGGER dbo.trgRecordHistory ON dbo.tblrecord
AFTER INSERT, UPDATE, DELETE
AS
BEGIN
    SET NOCOUNT ON;
    INSERT INTO dbo.tblRecordHistory (
        fldsn, fldStep, fldPrdNo, fldMsn, fldOldStatus, fldNewStatus, fldOldReason, fldNewReason
    )
    SELECT
        COALESCE(i.fldsn, d.fldsn),
        ISNULL((
            SELECT MAX(h.fldStep) FROM dbo.tblRecordHistory AS h
            WHERE h.fldsn = COALESCE(i.fldsn, d.fldsn)
        ), 0) + 1,
        COALESCE(i.fldPrdNo, d.fldPrdNo),
        COALESCE(i.fldMsn, d.fldMsn),
        d.fldStatus,
        i.fldStatus,
        d.fldreturnmemo,
        i.fldreturnmemo
    FROM inserted AS i
    FULL OUTER JOIN deleted AS d ON i.fldsn = d.fldsn
    WHERE
        i.fldsn IS NULL OR d.fldsn IS NULL
        OR i.fldStatus <> d.fldStatus
        OR i.fldreturnmemo <> d.fldreturnmemo
        OR (i.fldreturnmemo IS NULL AND d.fldreturnmemo IS NOT NULL)
        OR (i.fldreturnmemo IS NOT NULL AND d.fldreturnmemo IS NULL);
END
GO

CREATE TABLE dbo.tblProductNoSet (
    fldsn INT IDENTITY (1, 1) NOT NULL PRIMARY KEY,
    fldPrdNoFrom VARCHAR(20) NOT NULL,
    fldPrdNoTo VARCHAR(20) NOT NULL,
    fldmaker INT NOT NULL
);
GO

CREATE INDEX ixNoSetMaker ON dbo.tblProductNoSet (fldmaker, fldPrdNoFrom);
GO

CREATE TABLE dbo.tblBasReportFile (
    fldRptId VARCHAR(20) NOT NULL PRIMARY KEY,
    fldName NVARCHAR(100) NULL,
    FldVersion VARCHAR(20) NULL,
    fldFile VARBINARY(MAX) NULL
);
GO

CREATE TABLE dbo.dicOpMenus (
    fldkey VARCHAR(50) NOT NULL PRIMARY KEY,
    fldW INT NOT NULL DEFAULT 0,
    fldN1 NVARCHAR(50) NULL, fldA1 INT NULL, fldW1 INT NULL,
    fldN2 NVARCHAR(50) NULL, fldA2 INT NULL, fldW2 INT NULL,
    fldN3 NVARCHAR(50) NULL, fldA3 INT NULL, fldW3 INT NULL,
    fldN4 NVARCHAR(50) NULL, fldA4 INT NULL, fldW4 INT NULL,
    fldN5 NVARCHAR(50) NULL, fldA5 INT NULL, fldW5 INT NULL,
    fldN6 NVARCHAR(50) NULL, fldA6 INT NULL, fldW6 INT NULL,
    fldN7 NVARCHAR(50) NULL, fldA7 INT NULL, fldW7 INT NULL,
    fldN8 NVARCHAR(50) NULL, fldA8 INT NULL, fldW8 INT NULL,
    fldN9 NVARCHAR(50) NULL, fldA9 INT NULL, fldW9 INT NULL,
    fldN10 NVARCHAR(50) NULL, fldA10 INT NULL, fldW10 INT NULL,
    fldN11 NVARCHAR(50) NULL, fldA11 INT NULL, fldW11 INT NULL,
    fldN12 NVARCHAR(50) NULL, fldA12 INT NULL, fldW12 INT NULL
);
GO

CREATE TABLE dbo.dicBasCode (
    fldType VARCHAR(20) NOT NULL,
    fldCode VARCHAR(20) NOT NULL,
    fldName NVARCHAR(100) NULL,
    fldSort INT NOT NULL DEFAULT 0,
    PRIMARY KEY (fldType, fldCode)
);
GO

CREATE TABLE dbo.tblExecLog (
    fldsn INT IDENTITY (1, 1) NOT NULL PRIMARY KEY,
    fldTime DATETIME NOT NULL DEFAULT GETDATE(),
    fldStatement NVARCHAR(MAX) NULL,
    fldParams NVARCHAR(MAX) NULL,
    fldOpNo VARCHAR(20) NULL
);
GO

-- Warranty claims: a patient came back with a card of the lab. One row per
-- claim, the card named by its record key and number; a remake made for it
-- is named by its record key once saved. A claim is inserted by a statement
-- of its own and no trigger of tblrecord writes here, so a record insert's
-- @@identity stays the record's. fldOpenKey is the card's record key while
-- the claim is open (受理中) and the claim's own key negated once it is
-- closed (已完成): a plain unique key lets a card hold one open claim only
-- and, unlike a filtered index, asks nothing of the clients' SET options.
-- 06_claims.sql brings an older database up to it.
CREATE TABLE dbo.tblClaim (
    fldsn INT IDENTITY (1, 1) NOT NULL PRIMARY KEY,
    fldMsn INT NOT NULL,
    fldRecordSn INT NOT NULL,
    fldPrdNo VARCHAR(20) NULL,
    fldClaimDate VARCHAR(10) NULL,
    fldReason NVARCHAR(20) NULL,
    fldText NVARCHAR(500) NULL,
    fldTeeth VARCHAR(100) NULL,
    fldAction NVARCHAR(10) NULL,
    fldInTerm CHAR(1) NULL,
    fldState NVARCHAR(10) NOT NULL DEFAULT N'受理中',
    fldCloseDate VARCHAR(10) NULL,
    fldDone NVARCHAR(500) NULL,
    fldRemakeSn INT NULL,
    fldOpenKey INT NOT NULL
);
GO

CREATE INDEX ixClaimMakerDate ON dbo.tblClaim (fldMsn, fldClaimDate);
GO

CREATE INDEX ixClaimRecord ON dbo.tblClaim (fldRecordSn);
GO

CREATE INDEX ixClaimRemake ON dbo.tblClaim (fldRemakeSn);
GO

CREATE UNIQUE INDEX ixClaimOpen ON dbo.tblClaim (fldOpenKey);
GO

-- Back to normal execution for whatever the session runs next.
SET NOEXEC OFF;
GO
