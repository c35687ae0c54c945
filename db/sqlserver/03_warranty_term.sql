-- For a database made before products had a warranty term: adds the term
-- column (months; NULL is none; filled in by the central office). Clients read the term
-- with a query of their own, so the procedures and older clients are
-- unaffected; until this runs, clients show no term and no expiry.
-- Run once in the database: sqlcmd -S server -d wty -i 03_warranty_term.sql
IF COL_LENGTH('dbo.tblProduct', 'fldWarrantyMonths') IS NULL
    ALTER TABLE dbo.tblProduct ADD fldWarrantyMonths INT NULL;
GO
