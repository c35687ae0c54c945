#pragma once
// Two workstations of one lab on one database, racing over the same card
// numbers with the statements the workbench sends (built at the data level:
// the connection object and the record statements, no forms).
//
//   stress_work race-prepare DIR    two pending records of each number
//   stress_work race WORKER DIR [--chunks]   WORKER 1 or 2, run both at once;
//                                   with --chunks, submit-all's chunks
//   stress_work race-verify DIR     prints submitted_twice=… stale_writes=…
#include <QString>

int RacePrepare(const QString& dir);
int RaceWork(int worker, const QString& dir, bool inChunks);
int RaceVerify(const QString& dir);
