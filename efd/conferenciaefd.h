#pragma once
// The client's settlement (block E of the file) beside ours (the block E the settlement's records
// give), field by field: E110 per period, E210 per state and period. A period or state one side
// has and the other lacks is compared with zeros.
#include <string>

#include "efd/arquivoefd.h"
#include "efd/blocoe.h"

namespace efd {

struct TConferencia {
  std::string Texto;  // the tables, for the user
  int Diferencas = 0;  // fields that differ
};

TConferencia ConferirBlocoE(const TArquivoEFD& cliente, const TBlocoE& nosso);

}  // namespace efd
