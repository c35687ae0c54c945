-- For a database made before the database itself refused a card number
-- submitted twice: adds tblCardHeld and its trigger (see 01_tables.sql for
-- why a table of held numbers and not a filtered index).
-- Run once in the database: sqlcmd -S server -d wty -i 04_card_held.sql
--
-- It first lists the numbers that more than one record above '00' holds
-- already (sent-back records count). While there are any it creates nothing:
-- settle each of them (send back, reset or delete the extra records) and run
-- it again. Nobody can write a record while it runs: the table lock is taken
-- before the numbers are looked at and kept until the trigger is in place,
-- so no number is submitted twice in between.

SET XACT_ABORT ON;
GO

BEGIN TRANSACTION;
GO

IF OBJECT_ID(N'dbo.tblCardHeld', N'U') IS NOT NULL
    BEGIN
        PRINT N'tblCardHeld exists already: nothing to do.';
        ROLLBACK TRANSACTION;
        SET NOEXEC ON;
    END;
GO

-- No record changes from here to the commit: the table's lock is taken by
-- reading it (a query that reads nothing would take none).
DECLARE @records INT;
SELECT @records = COUNT(*) FROM dbo.tblrecord WITH (TABLOCKX, HOLDLOCK);
GO

IF EXISTS (
    SELECT r.fldPrdNo
    FROM dbo.tblrecord AS r
    WHERE r.fldStatus > '00' AND r.fldPrdNo IS NOT NULL
    GROUP BY r.fldPrdNo
    HAVING COUNT(*) > 1
)
    BEGIN
        SELECT
            r.fldPrdNo, r.fldsn, r.fldMsn, r.fldmaker, r.fldStatus, r.fldsubmitDate, r.fldpublishDate
        FROM dbo.tblrecord AS r
        WHERE
            r.fldStatus > '00'
            AND r.fldPrdNo IN (
                SELECT t.fldPrdNo
                FROM dbo.tblrecord AS t
                WHERE t.fldStatus > '00' AND t.fldPrdNo IS NOT NULL
                GROUP BY t.fldPrdNo
                HAVING COUNT(*) > 1
            )
        ORDER BY r.fldPrdNo, r.fldsn;
        RAISERROR (N'Card numbers listed above are held by more than one record above status 00. Nothing was created: settle them and run this script again.', 16, 1);
        ROLLBACK TRANSACTION;
        SET NOEXEC ON;
    END;
GO

CREATE TABLE dbo.tblCardHeld (
    fldPrdNo VARCHAR(20) NOT NULL CONSTRAINT pkCardHeld PRIMARY KEY,
    fldsn INT NOT NULL CONSTRAINT uqCardHeldRecord UNIQUE
);
GO

INSERT INTO dbo.tblCardHeld (fldPrdNo, fldsn)
SELECT r.fldPrdNo, r.fldsn
FROM dbo.tblrecord AS r
WHERE r.fldStatus > '00' AND r.fldPrdNo IS NOT NULL;
GO

-- As in 01_tables.sql.
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

COMMIT TRANSACTION;
GO

-- Back to normal execution for whatever the session runs next.
SET NOEXEC OFF;
GO
