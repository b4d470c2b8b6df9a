#pragma once
// What the small-business summaries share: the bracket of a rate table (TR04_TABELA /
// TR04_TABDETALHE) for a revenue and revenues stored as text.
#include <cstdint>
#include <string>

#include "host/banco/consulta.h"
#include "host/base/datas.h"
#include "host/base/fracao.h"
#include "host/base/moeda.h"

namespace simples {

struct TFaixa {
  TFracao Aliquota;  // percent, exact as the table holds it
  Currency Deducao;     // amount to deduct (or the tax itself, by table)
  int32_t Classe = 0;
};

// The bracket of the rate table (TIPOTABELA 1) of tax `imposto` in force over the period whose
// revenue range holds `valor`; rate, amount and class 0 when there is none.
TFaixa BuscarFaixa(const std::string& imposto, TDateTime inicio, TDateTime fim, Currency valor);

// An amount stored as text ("12000.00", "12.000,00") or as a number; 0 when it is not one.
Currency ValorDoTexto(const TCampo& campo);

}  // namespace simples
