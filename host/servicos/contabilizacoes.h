#pragma once
// Accounting posting: turns the accounting values recorded by the settlements of an interval
// (entry types 52, 54 to 57) into journal entries with the configured accounts. Posting the same
// interval again replaces the earlier posting.
#include <cstdint>

#include "host/base/datas.h"

class TQDConnection;
class TQDClientDataSet;

class TContabilizacoes {
 public:
  explicit TContabilizacoes(TQDConnection& conexao) : c_(conexao) {}
  // Companies by code from `empresaIni` to `empresaFim`; only the taxes marked (MARCADO = 1) in the
  // data set, which is read to its end.
  void ContabilizaIntervaloEmpresas(int32_t empresaIni, int32_t empresaFim, TDateTime ini, TDateTime fim,
                                    TQDClientDataSet& impostos);

 private:
  TQDConnection& c_;
};
