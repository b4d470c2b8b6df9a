#include "regimes/simples/comum.h"

#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "regimes/simples/sqlsimples.h"

namespace simples {

TFaixa BuscarFaixa(const std::string& imposto, TDateTime inicio, TDateTime fim, Currency valor) {
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(kSqlFaixaSimples, {texto::QuotedStr(imposto), TFormPrincipal::DataSQL(inicio),
                                     TFormPrincipal::DataSQL(fim), FormatarDecimal(valor), FormatarDecimal(valor)}));
  q.Open();
  TFaixa f;
  if (q.Eof()) return f;
  f.Classe = q.FieldByName("CLASSE").AsInteger();
  f.Deducao = q.FieldByName("DEDUCAO").AsCurrency();
  f.Aliquota = q.FieldByName("ALIQUOTA").AsFracao();
  return f;
}

Currency ValorDoTexto(const TCampo& campo) {
  if (std::holds_alternative<int64_t>(campo.Bruto()) || std::holds_alternative<double>(campo.Bruto()))
    return campo.AsCurrency();
  Currency v;
  return TentarLerValor(texto::Aparar(campo.AsString()), v) ? v : Currency();
}

}  // namespace simples
