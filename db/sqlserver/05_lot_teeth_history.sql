-- For a database made before cards carried the material's lot, the tooth
-- positions and the shade, and before each record kept its history: adds
-- the three columns, the index of a lab's lots, the history table and its
-- trigger (see 01_tables.sql). Clients read the three fields with queries
-- of their own and detect the columns at sign-in; until this runs they hide
-- the fields and send the statements they always sent. Safe to run again.
-- Run once in the database: sqlcmd -S server -d wty -i 05_lot_teeth_history.sql

SET XACT_ABORT ON;
GO

BEGIN TRANSACTION;
GO

IF COL_LENGTH('dbo.tblrecord', 'fldLot') IS NULL
    ALTER TABLE dbo.tblrecord ADD fldLot NVARCHAR(30) NULL;
GO

IF COL_LENGTH('dbo.tblrecord', 'fldTeeth') IS NULL
    ALTER TABLE dbo.tblrecord ADD fldTeeth NVARCHAR(120) NULL;
GO

IF COL_LENGTH('dbo.tblrecord', 'fldShade') IS NULL
    ALTER TABLE dbo.tblrecord ADD fldShade NVARCHAR(20) NULL;
GO

IF NOT EXISTS (
    SELECT 1 FROM sys.indexes
    WHERE object_id = OBJECT_ID(N'dbo.tblrecord') AND name = N'ixRecordMakerLot'
)
    CREATE INDEX ixRecordMakerLot ON dbo.tblrecord (fldMsn, fldLot);
GO

IF OBJECT_ID(N'dbo.tblRecordHistory', N'U') IS NULL
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

-- As in 01_tables.sql; an earlier one is replaced.
IF OBJECT_ID(N'dbo.trgRecordHistory', N'TR') IS NOT NULL
    DROP TRIGGER dbo.trgRecordHistory;
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

COMMIT TRANSACTION;
GO
