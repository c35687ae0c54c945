#pragma once
// The round trips the ODBC backend makes to the server, counted where its
// driver calls are made, with an optional delay per trip that stands for a
// slow link. One round trip is one request the driver sends and waits on:
//
//   SQLExecDirectW, SQLExecute          one each (a prepared statement goes
//                                       with its first execution, and one
//                                       more releases it when its handle is
//                                       freed; the backend runs statements
//                                       directly, leaving none prepared)
//   SQLDescribeParam / SQLNumParams     one per prepared statement asked
//   SQLProcedureColumnsW                one
//   turning autocommit off or on        one each (the driver sends it)
//   SQLEndTran                          one
//
// Rows arrive with the reply of their execution (the server streams its
// result sets), so fetches add none. The login is counted apart.
#include <QtGlobal>

namespace dbRoundTrips {

// One round trip made: counted, then delayed.
void made();
// The login (the connect call).
void loggedIn();

qint64 count();
qint64 logins();
void reset();
// Milliseconds added to every round trip (0: none).
void setDelayMs(int ms);

// While one is alive on this thread, round trips are not counted or delayed:
// what a stand-in server does inside one request.
class Inside {
public:
    Inside();
    ~Inside();
    Inside(const Inside&) = delete;
    Inside& operator=(const Inside&) = delete;
};

} // namespace dbRoundTrips
