#include "apuracao/apuracao.h"

#include "apuracao/formasrapidas.h"
#include "apuracao/sqlapuracao.h"
#include "host/banco/integridade.h"
#include "host/base/formatacao.h"
#include "host/host.h"
#include "host/servicos/periodos.h"

TApuracao::TApuracao(TFabricaResumos fabrica) : FResumos(std::make_unique<TResumos>(std::move(fabrica))) {
  RegistrarFormasRapidasApuracao();
}

void TApuracao::SetFilial(int64_t idFilial) { FFilial = GFuncoes->GetDadosFilial(idFilial); }

void TApuracao::CalcularApuracao() {
  ValidarIntervalo();
  FResumos->Load(FFilial, FDataInicio, FDataFim);
  VerificarDados();
  const TDateTime naoApurado = FResumos->GetFimApurado() > 0 ? FResumos->GetFimApurado() + 1 : FDataInicio;
  if (naoApurado <= FDataFim)
    QDInterface->ExibirMensagem("Só períodos de apuração inteiros são apurados: os dias de " + DataBR(naoApurado) +
                                    " a " + DataBR(FDataFim) + " não completam um período e ficaram de fora.",
                                2);
  FCalculados = 0;
  try {
    CalcularResumos();
  } catch (const EDadosInvalidos& e) {
    // A refusal met inside a summary undoes that summary only: the ones before it stay recorded.
    if (FCalculados == 0) throw;
    std::vector<std::string> gravados;
    for (int i = 0; i < FCalculados; ++i) {
      const TResumo& r = *FResumos->GetItem(i);
      gravados.push_back("imposto " + r.GetCodImposto() + " de " + DataBR(r.GetDataInicio()) + " a " + DataBR(r.GetDataFim()));
    }
    throw e.ComGravados(gravados);
  }
  if (FContabilizar && FResumos->GetDataSetImpostos()) {
    TContabilizacoes c(GUtilSistema->GetConnectionSistema());
    c.ContabilizaIntervaloEmpresas(FFilial.CodigoEmpresa, FFilial.CodigoEmpresa, FDataInicio, FDataFim,
                                   *FResumos->GetDataSetImpostos());
  }
}

void TApuracao::CalcularResumos() {
  for (int i = 0; i < FResumos->Count(); ++i) {
    TResumo* r = FResumos->GetItem(i);
    if (OnAntesDeCalcular) OnAntesDeCalcular(*r, i, FResumos->Count());
    r->SetDetalharCfopPorSufixo(FDetalharCfopPorSufixo);
    r->CalcularApuracao();
    FCalculados = i + 1;
  }
}

// The settlement walks whole periods from the start date on: a start inside a period would settle
// the rest of that period as if it were one, beside the real one, and replace its carried credit.
void TApuracao::ValidarIntervalo() {
  const TDateTime primeiro = EncodeDate(kPrimeiroAno, 1, 1), ultimo = EncodeDate(kUltimoAno, 12, 31);
  for (TDateTime d : {FDataInicio, FDataFim})
    if (d < primeiro || d > ultimo)
      throw EIntervaloInvalido("A data " + DataBR(d) + " está fora das datas que a apuração aceita (" + DataBR(primeiro) +
                               " a " + DataBR(ultimo) + ").");
  if (FDataFim >= IncMes(FDataInicio, 12 * kMaximoAnos))
    throw EIntervaloInvalido("O intervalo de " + DataBR(FDataInicio) + " a " + DataBR(FDataFim) + " passa de " +
                             std::to_string(kMaximoAnos) + " anos, o maior que uma apuração aceita; divida-o em pedidos menores.");
  const TPeriodicidade p = GFuncoes->GetPeriodicidadeICMS(FFilial.IdFilial, FDataInicio);
  const TDateTime inicioPeriodo = GFuncoes->DecPeriodo(FDataInicio, p);
  if (inicioPeriodo == FDataInicio) return;
  const TDateTime fimPeriodo = GFuncoes->IncPeriodo(FDataInicio, p), seguinte = fimPeriodo + 1;
  // An establishment that opened inside this period settles it whole, from its first day: the
  // next period, however near, would leave its first one unsettled.
  const TDateTime abertura = InicioAtividade();
  if (abertura >= inicioPeriodo && abertura <= fimPeriodo)
    throw EIntervaloInvalido("A data inicial " + DataBR(FDataInicio) + " não é o início de um período de apuração do "
                             "estabelecimento (periodicidade " + NomePeriodicidade(p) + "), e só períodos inteiros são "
                             "apurados. O estabelecimento iniciou as atividades em " + DataBR(abertura) +
                             ", dentro do período que começa em " + DataBR(inicioPeriodo) +
                             ": comece a apuração nesse dia, para que o primeiro período seja apurado.");
  const TDateTime proximo = FDataInicio - inicioPeriodo <= seguinte - FDataInicio ? inicioPeriodo : seguinte;
  throw EIntervaloInvalido("A data inicial " + DataBR(FDataInicio) + " não é o início de um período de apuração do "
                           "estabelecimento (periodicidade " + NomePeriodicidade(p) + "), e só períodos inteiros são "
                           "apurados. O período mais próximo começa em " + DataBR(proximo) + ".");
}

TDateTime TApuracao::InicioAtividade() {
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(kSqlInicioAtividadeFilial, {std::to_string(FFilial.IdFilial)}));
  q.Open();
  TDateTime d = 0;
  return !q.Eof() && TentarLerData(q.FieldByName("INICIOATIVIDADE").AsString(), d) ? d : 0;
}

void TApuracao::VerificarDados() {
  // ICMS-ST is settled when a code of its group is selected, as the summary list decides.
  // (Load left the data set showing the marked codes only.)
  bool substituicao = false;
  if (TQDClientDataSet* impostos = FResumos->GetDataSetImpostos())
    substituicao = impostos->Locate("CODIGO", {std::string("40")}, true);
  // What the summaries of the run will read, each by its own rule (ICMS-ST periods longer than the
  // interval, a small business's year, a centraliser's group).
  integridade::TLeituras leituras;
  leituras.Acrescentar(FFilial.IdFilial, FDataInicio, FDataFim);
  for (int i = 0; i < FResumos->Count(); ++i) FResumos->GetItem(i)->AcrescentarLeituras(leituras);
  const integridade::TProblemas p =
      integridade::VerificarApuracao(GUtilSistema->GetConnectionSistema(), FFilial, leituras, substituicao);
  if (!p.Erros.empty())
    throw EDadosInvalidos("A apuração de " + DataBR(FDataInicio) + " a " + DataBR(FDataFim) + " do estabelecimento " +
                              std::to_string(FFilial.CodigoFilial) + " da empresa " + std::to_string(FFilial.CodigoEmpresa) +
                              " foi recusada",
                          p.Erros);
  for (const auto& aviso : p.Avisos) QDInterface->ExibirMensagem(aviso, 0);
}
