// The SQL files of db/ as strings: the schema every database is created with, the demo office, and
// the access by company a server adds to the schema.
#include "db/recursos.h"

#include "recursos_sql.inc"

const char* SqlEsquema() { return kSchemaSql; }
const char* SqlDemo() { return kDemoSql; }
const char* SqlAcessoServidor() { return kAcessoSql; }
