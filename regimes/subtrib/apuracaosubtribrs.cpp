#include "regimes/subtrib/apuracaosubtribrs.h"

#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "regimes/sqlregimes.h"

namespace {

Currency SomaImposto(const TRegistros& a, const TRegistros& b) {
  Currency s;
  for (const TRegistros* r : {&a, &b})
    for (int i = 0; i < r->Count(); ++i) s += r->GetItem(i)->GetImposto();
  return s;
}

}  // namespace

TResumoSTRS::TResumoSTRS()
    : FSTOutrosEstabEntrada(std::make_unique<TRegistros>()), FSTOutrosEstabSaida(std::make_unique<TRegistros>()) {}

TTipoResumo TResumoSTRS::GetTipoResumo() const { return trSubstTribRS; }

// A centraliser adds the ST documents of the company's other establishments.
void TResumoSTRS::AcrescentarLeituras(integridade::TLeituras& leituras) const {
  TResumoST::AcrescentarLeituras(leituras);
  if (FFormaApuracao.TipoApuracao == 1) leituras.EmpresasDocumentos.emplace(FFilial.IdEmpresa, "");
}

// The registers answer their tax total with the other establishments' tax included, so items 001
// and 005, the balances and the accounting values count it; the book lists only this one's lines.
void TResumoSTRS::CalcularApuracaoAntes() {
  TResumoST::CalcularApuracaoAntes();
  FDebito->GetRegistros().TotalImposto = [this] { return GetTotalImpostoSaidas(); };
  FCredito->GetRegistros().TotalImposto = [this] { return GetTotalImpostoEntradas(); };
  if (FFormaApuracao.TipoApuracao == 1) {
    LoadRegistrosOutrosEstabEntrada();
    LoadRegistrosOutrosEstabSaida();
  }
}

Currency TResumoSTRS::GetTotalImpostoEntradas() const {
  return SomaImposto(FCredito->GetRegistros(), *FSTOutrosEstabEntrada);
}

Currency TResumoSTRS::GetTotalImpostoSaidas() const {
  return SomaImposto(FDebito->GetRegistros(), *FSTOutrosEstabSaida);
}

void TResumoSTRS::CarregarOutrosEstab(const char* sql, TRegistros& registros) {
  CarregarRegistros(Format(sql, {std::to_string(FFilial.IdEmpresa), std::to_string(FFilial.IdFilial),
                                 TFormPrincipal::DataSQL(FDataInicio), TFormPrincipal::DataSQL(FDataFim),
                                 texto::QuotedStr(FUF)}),
                    registros);
}

void TResumoSTRS::LoadRegistrosOutrosEstabEntrada() { CarregarOutrosEstab(kSqlRegEntradaOutrosEstabST, *FSTOutrosEstabEntrada); }
void TResumoSTRS::LoadRegistrosOutrosEstabSaida() { CarregarOutrosEstab(kSqlRegSaidaOutrosEstabST, *FSTOutrosEstabSaida); }

void TResumoSTRS::GravarSaldoDevedor() {
  if (FFormaApuracao.TipoApuracao == 2) return;  // the centraliser records the group's tax
  const TCodigoRecolhimento c = GetCodigoRecolhimento();
  GFuncoes->GravarImposto(FFilial.IdEmpresa, FFilial.IdFilial, FCodImposto, c.Codigo, FDataInicio, FDataFim, c.Vencimento,
                          FInscrEst.empty() ? Currency() : GetImpostoARecolher(), {"TPAPLICACAO"}, {c.Codigo1});
}

void TResumoSTRS::ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) {
  ImprimirGuiasOuGNRE(kSqlGuiasAplicacao, linha, imprimir);
}
