#pragma once
// A statement of the workbench that names the state it expects of a record
// ran and changed no row: the record was submitted, published or deleted
// elsewhere meanwhile.

// Whether the last statement changed no row; if so, says so to the user
// (the caller reloads its list and changes nothing else).
bool ChangedElsewhere();
