#pragma once
// The rows a settlement records (tax due and its details, entries and their auxiliary data, the
// GIA and its details, accounting postings), as one text that two databases can be compared by.
// The ids the database numbers depend on what else was written meanwhile - another establishment's
// run in another process, a sequence that does not give back the ids of deleted rows - so each is
// written as the establishment and its rank among the establishment's rows of that table (a detail
// row: its parent's and its rank under it), and references to them likewise. Rows are in text
// order within each table.
#include <cstdint>
#include <string>

namespace banco {

class TBanco;

// Every establishment's records, or those of `idFilial` only when it is not 0.
std::string RegistrosDaApuracao(TBanco& db, int64_t idFilial = 0);

}  // namespace banco
