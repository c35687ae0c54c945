#pragma once
// Two workstations of one lab on one database, racing over the same card
// numbers with the statements the workbench sends (built at the data level:
// the connection object and the record statements, no forms).
//
//   stress_work race-prepare DIR    two pending records of each number
//   stress_work race WORKER DIR     WORKER 1 or 2, run both at once
//   stress_work race-verify DIR     prints submitted_twice=… stale_writes=…
#include <QString>

int RacePrepare(const QString& dir);
int RaceWork(int worker, const QString& dir);
int RaceVerify(const QString& dir);
