-- Creates the warranty-card database with a Chinese collation, for those who
-- start from nothing. Chinese names, hospitals and remarks arrive as plain
-- quoted literals and are kept only by a database whose collation has code
-- page 936 (Chinese_PRC_CI_AS) or 65001 (a UTF-8 collation).
-- Run with: sqlcmd -S server -i 00_database.sql
-- then, in the new database: sqlcmd -S server -d wty -i 01_tables.sql
-- and 02_procedures.sql. Change the name "wty" here and there alike.
-- (The statement is run through sp_executesql only so that the scripts'
-- parser check reads it.)
DECLARE @create NVARCHAR(200) = N'CREATE DATABASE wty COLLATE Chinese_PRC_CI_AS';
EXEC sp_executesql @create;
GO
