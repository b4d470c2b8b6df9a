#pragma once
// TFormDadosAuxNormalRS ("Dados acessórios"): the auxiliary data of the RS return (GIA) that the
// regular RS summary asks for when one period is settled: revenue, employees on the month's last
// day, payroll and electric energy consumption. No validation beyond the kind of each field.
#include <cstdint>

#include "host/interacao/formpadraoresult.h"

class TFormDadosAuxNormalRS : public TQDFormRavelPadraoResult {
 public:
  TFormDadosAuxNormalRS();
  void PreencheCampos(Currency faturamento, int32_t empregados, Currency valorFolha, int32_t consumo);

  TCampoEdicao& edtFaturamento;
  TCampoEdicao& edtEmpregados;
  TCampoEdicao& edtValorFolha;
  TCampoEdicao& edtConsumo;
};
