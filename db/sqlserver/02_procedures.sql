-- Stored procedures the client calls. Run after 01_tables.sql.
-- upvProducts: the product list ('PrdNo') and the three record lists
-- ('MakerView' with category '00', '01' or '02'), in the column orders the
-- workbench grids read back.

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

CREATE PROCEDURE dbo.upvProducts
    @Type VARCHAR(20),
    @MakerId VARCHAR(20),
    @Category VARCHAR(10),
    @DateFrom VARCHAR(10),
    @DateTo VARCHAR(10),
    @Other VARCHAR(50)
AS
BEGIN
    SET NOCOUNT ON;
    IF @Type = 'PrdNo'
        BEGIN
            SELECT p.fldPrdKey, p.fldPrdName
            FROM dbo.tblProduct AS p
            WHERE p.fldstate = '01'
            ORDER BY p.fldPrdKey;
        END
    ELSE IF @Type = 'MakerView' AND @Category = '00'
        BEGIN
            SELECT
                r.fldsn, r.fldPrdName, ISNULL(p.fldPrdName, r.fldPrdName) AS fldShowName,
                r.fldPrdNo, r.fldPLName, r.fldPFName, r.fldDLName, r.fldDFName,
                r.fldHospital, r.fldOpTime, r.fldOpDesp, r.fldMemo, r.fldPdTime
            FROM dbo.tblrecord AS r
            LEFT JOIN dbo.tblProduct AS p ON r.fldPrdName = p.fldPrdKey
            WHERE r.fldMsn = @MakerId AND r.fldStatus = '00'
            ORDER BY r.fldsn;
        END
    ELSE IF @Type = 'MakerView' AND @Category = '01'
        BEGIN
            SELECT
                r.fldsn, r.fldStatus,
                CASE r.fldStatus WHEN '01' THEN N'待审批' WHEN '03' THEN N'已退回' ELSE r.fldStatus END AS fldStatusText,
                ISNULL(r.fldreturnmemo, '') AS fldReason,
                r.fldPrdName, ISNULL(p.fldPrdName, r.fldPrdName) AS fldShowName, r.fldPrdNo,
                r.fldsubmitDate, r.fldPLName, r.fldPFName, r.fldDLName, r.fldDFName,
                r.fldHospital, r.fldOpTime, r.fldPdTime
            FROM dbo.tblrecord AS r
            LEFT JOIN dbo.tblProduct AS p ON r.fldPrdName = p.fldPrdKey
            WHERE r.fldMsn = @MakerId AND r.fldStatus IN ('01', '03')
            ORDER BY r.fldsn;
        END
    ELSE IF @Type = 'MakerView' AND @Category = '02'
        BEGIN
            SELECT
                r.fldsn, r.fldsubmitDate, r.fldpublishDate, r.fldPrdName,
                ISNULL(p.fldPrdName, r.fldPrdName) AS fldShowName, r.fldPrdNo,
                r.fldPLName, r.fldPFName, r.fldDLName, r.fldDFName, r.fldHospital,
                r.fldOpTime, r.fldOpDesp, r.fldMemo, r.fldPdTime
            FROM dbo.tblrecord AS r
            LEFT JOIN dbo.tblProduct AS p ON r.fldPrdName = p.fldPrdKey
            WHERE
                r.fldMsn = @MakerId AND r.fldStatus = '02'
                AND (@DateFrom = '' OR r.fldsubmitDate >= @DateFrom)
                AND (@DateTo = '' OR r.fldsubmitDate <= @DateTo)
            ORDER BY r.fldsn;
        END
    RETURN 0;
END
GO

-- upDSYSExecLog: one row of the execution log per successful write.
CREATE PROCEDURE dbo.upDSYSExecLog
    @Statement NVARCHAR(MAX),
    @Params NVARCHAR(MAX),
    @OpNo VARCHAR(20)
AS
BEGIN
    SET NOCOUNT ON;
    INSERT INTO dbo.tblExecLog (fldTime, fldStatement, fldParams, fldOpNo)
    VALUES (GETDATE(), @Statement, @Params, @OpNo);
    RETURN 0;
END
GO

-- upVBasShow: a code list ('BasCode' and the code type).
CREATE PROCEDURE dbo.upVBasShow
    @Kind VARCHAR(20),
    @CodeType VARCHAR(20),
    @Other VARCHAR(50)
AS
BEGIN
    SET NOCOUNT ON;
    IF @Kind = 'BasCode'
        BEGIN
            SELECT c.fldCode, c.fldName
            FROM dbo.dicBasCode AS c
            WHERE c.fldType = @CodeType
            ORDER BY c.fldSort, c.fldCode;
        END
    RETURN 0;
END
GO

-- Back to normal execution for whatever the session runs next.
SET NOEXEC OFF;
GO
