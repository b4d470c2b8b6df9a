#pragma once
// TFormDadosAuxSimplesNovoRS ("Dados acessórios"): what the RS small-business return (GIA) asks
// and the database cannot know: revenue of establishments in other states or outside this
// database, their deductions, other revenue, expenses, employees and payroll, last year's revenue
// and the other revenue of January to June 2006. The summary enables the fields by the
// establishment's role in its group; a disabled amount is shown, and kept, as 0.
#include <cstdint>

#include "host/interacao/formpadraoresult.h"

// The nine values of the dialog, each the summary field of the same name with the prefix F.
struct TDadosAuxSimplesNovoRS {
  int32_t NumEmpregados = 0;
  Currency RecBrutaOutros;
  Currency RecBrutaAnterior;
  Currency Despesas;
  Currency RecBrutaRS;
  Currency DespSalarios;
  Currency OutrasRecJanJun;
  Currency DedRecBruta;
  Currency OutrasRecMes;
};

class TFormDadosAuxSimplesNovoRS : public TQDFormRavelPadraoResult {
 public:
  TFormDadosAuxSimplesNovoRS();
  // Fills the fields, then clears every amount field that is disabled.
  void PreencheCampos(const TDadosAuxSimplesNovoRS& dados);
  // The values as the dialog holds them.
  TDadosAuxSimplesNovoRS Dados() const;

  TCampoEdicao& edtRecBrutaOutros;
  TCampoEdicao& edtRecBrutaRS;
  TCampoEdicao& edtDedRecBruta;
  TCampoEdicao& edtOutrasRecMes;
  TCampoEdicao& edtDespesas;
  TCampoEdicao& edtNumEmpregados;
  TCampoEdicao& edtDespSalarios;
  TCampoEdicao& edtRecBrutaAnterior;
  TCampoEdicao& edtOutrasRecJanJun;
};
