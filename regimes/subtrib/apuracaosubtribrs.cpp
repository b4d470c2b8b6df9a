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
  FParticipacoesEntrada = std::make_unique<TDetalhamentos>();
  FParticipacoesSaida = std::make_unique<TDetalhamentos>();
  if (FFormaApuracao.TipoApuracao == 1) {
    LoadRegistrosOutrosEstabEntrada();
    LoadRegistrosOutrosEstabSaida();
    CarregarParticipacoes(false, *FParticipacoesEntrada);
    CarregarParticipacoes(true, *FParticipacoesSaida);
  }
}

const TDetalhamentos* TResumoSTRS::GetParticipacoesCentralizadas(bool saidas) const {
  const TDetalhamentos* d = saidas ? FParticipacoesSaida.get() : FParticipacoesEntrada.get();
  return d && d->Count() > 0 ? d : nullptr;
}

// The documents of the other establishments' registers above, summed by establishment.
void TResumoSTRS::CarregarParticipacoes(bool saidas, TDetalhamentos& participacoes) {
  const std::string doc = saidas ? "ES02_SAIDA" : "ES02_ENTRADA", det = doc + "DET";
  const std::string sql =
      "SELECT SC00_FILIAL.IDFILIAL, SUM(" + det + ".ICMSST) AS IMPOSTO FROM " + doc + " JOIN SC00_FILIAL ON (" + doc +
      ".IDFILIAL = SC00_FILIAL.IDFILIAL) JOIN " + det + " ON (" + doc + ".ID" + doc.substr(5) + " = " + det + ".ID" +
      doc.substr(5) + ") JOIN ES02_CFOP ON (" + det + ".IDCFOP = ES02_CFOP.IDCFOP) JOIN CO01_PLANO ON (" + doc +
      ".IDPLANO = CO01_PLANO.IDPLANO) JOIN ES02_CLIFOR ON (ES02_CLIFOR.IDCLIFOR = CO01_PLANO.IDCLIFOR) JOIN "
      "CA06_MUNICIPIO ON (ES02_CLIFOR.IDMUNICIPIO = CA06_MUNICIPIO.IDMUNICIPIO) WHERE SC00_FILIAL.IDEMPRESA = %0:d AND "
      "SC00_FILIAL.IDFILIAL <> %1:d AND " + det + (saidas ? ".DEBITOST" : ".CREDITOST") + " = 1 AND " + doc +
      (saidas ? ".DATAEMISSAO" : ".DATAENTRADA") + " BETWEEN %2:s AND %3:s AND CA06_MUNICIPIO.UF = %4:s"
      " GROUP BY SC00_FILIAL.IDFILIAL ORDER BY SC00_FILIAL.FILIAL";
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(sql, {std::to_string(FFilial.IdEmpresa), std::to_string(FFilial.IdFilial),
                        TFormPrincipal::DataSQL(FDataInicio), TFormPrincipal::DataSQL(FDataFim), texto::QuotedStr(FUF)}));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    TDetalhamento* d = participacoes.Add();
    d->SetEstabelecimento(RotuloEstabelecimento(q.FieldByName("IDFILIAL").AsInteger()));
    d->SetDescricao(saidas ? "ICMS-ST DAS SAÍDAS DO ESTABELECIMENTO CENTRALIZADO"
                           : "ICMS-ST DAS ENTRADAS DO ESTABELECIMENTO CENTRALIZADO");
    d->SetValor(q.FieldByName("IMPOSTO").AsCurrency());
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
