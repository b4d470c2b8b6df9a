// The SQL files of db/ as strings: the schema every database is created with, and the demo office.
#include "db/recursos.h"

#include "recursos_sql.inc"

const char* SqlEsquema() { return kSchemaSql; }
const char* SqlDemo() { return kDemoSql; }
