-- For a database made before the labs recorded warranty claims: adds the
-- table of claims and its indexes (see 01_tables.sql). Clients look for the
-- table at sign-in; until this runs they hide the claims and send exactly
-- the statements they sent before. Running it again changes nothing.
-- Run once in the database: sqlcmd -S server -d wty -i 06_claims.sql
IF OBJECT_ID(N'dbo.tblClaim', N'U') IS NULL
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

IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = N'ixClaimMakerDate' AND object_id = OBJECT_ID(N'dbo.tblClaim'))
    CREATE INDEX ixClaimMakerDate ON dbo.tblClaim (fldMsn, fldClaimDate);
GO

IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = N'ixClaimRecord' AND object_id = OBJECT_ID(N'dbo.tblClaim'))
    CREATE INDEX ixClaimRecord ON dbo.tblClaim (fldRecordSn);
GO

IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = N'ixClaimRemake' AND object_id = OBJECT_ID(N'dbo.tblClaim'))
    CREATE INDEX ixClaimRemake ON dbo.tblClaim (fldRemakeSn);
GO

IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = N'ixClaimOpen' AND object_id = OBJECT_ID(N'dbo.tblClaim'))
    CREATE UNIQUE INDEX ixClaimOpen ON dbo.tblClaim (fldOpenKey);
GO
