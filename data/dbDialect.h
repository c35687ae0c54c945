#pragma once
// The small dialect step of the embedded database: the client's statements
// are written for SQL Server, and a few T-SQL forms have other names in
// SQLite. Text between single quotes is never touched.
//
//   isnull(a,b)                      ifnull(a,b)
//   len(x)                           length(rtrim(x,' '))   (LEN ignores trailing blanks)
//   getdate()                        datetime('now','localtime')
//   convert(varchar(n),x)            substr(cast(x as text),1,n)
//   convert(varchar(n),x,126)        substr(strftime('%Y-%m-%dT%H:%M:%S',x),1,n)
//   @@identity                       last_insert_rowid()
//   select top n ...                 select ... limit n     (at the start only)
#include <QString>

QString TranslateToSqlite(const QString& tsql);
