-- For a database made when the execution log took statements of at most
-- 4000 characters: a statement that stores a chunk of rows at once is
-- longer, and so are its values. The log's columns hold any length already.
-- Run once in the database: sqlcmd -S server -d wty -i 07_exec_log_long.sql

ALTER PROCEDURE dbo.upDSYSExecLog
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
