#include "regimes/simples/apuracaosimplesrn.h"

#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "regimes/sqlregimes.h"
#include "regimes/simples/sqlsimples.h"

TResumoSimplesRN::TResumoSimplesRN() {
  FCodImposto = "2001";
  FTpImposto = 1;
  for (TResumoCampos* l : {FDebito.get(), FCredito.get(), FSaldo.get()})
    l->GetRegistros().TotalImposto = [] { return Currency(); };
}

TTipoResumo TResumoSimplesRN::GetTipoResumo() const { return trSimplesRN; }

void TResumoSimplesRN::AcrescentarLeituras(integridade::TLeituras& leituras) const {
  AcrescentarLeiturasDesde(leituras, EncodeDate(DecodeDate(FDataInicio).ano, 1, 1), true);  // the company's year
}

void TResumoSimplesRN::CalcularApuracaoAntes() {
  FEnquadramento = GFuncoes->GetEnquadramentoFilial(FFilial, FDataInicio, FDataFim);
}

void TResumoSimplesRN::CalcularApuracaoDepois() {
  const Currency imposto = CalcularSimples();  // a centralised establishment keeps only the sums
  if (FFormaApuracao.TipoApuracao != 2) {
    if (!FFaixaAusente.empty())
      QDInterface->ExibirMensagem("Programa CRESCE-RN do estabelecimento " + std::to_string(FFilial.IdFilial) + " de " +
                                      DataBR(FDataInicio) + " a " + DataBR(FDataFim) + ": " + FFaixaAusente +
                                      ". O imposto do período fica 0,00; configure a faixa e apure o período de novo.",
                                  0);
    TResumoCampo* linha1 = FDebito->Locate(1);
    if (!linha1) {
      linha1 = FDebito->Add();
      linha1->SetCodigo(1);
      linha1->SetDescricao("DÉBITOS SAÍDAS");
      linha1->SetSinal(1);
    }
    TDetalhamento* d = linha1->GetDetalhamentos().Add();
    d->SetValor(imposto);
    d->SetDescricao("Programa CRESCE-RN faixa " + std::to_string(FFaixa) +
                    (FEnquadramento == 1 ? " - Empresa Pequeno Porte" : " - Microempresa"));
  }
  if (TResumoCampo* linha12 = FSaldo->Locate(12)) linha12->SetSinal(0);
}

Currency TResumoSimplesRN::CalcularSimples() {
  const TFilialCfg cfg = GFuncoes->GetFilialCfg(FFilial.IdFilial, 2, 7, 3, FDataInicio, FDataFim);
  FFaixa = InteiroOuZero(cfg.Informacao1);
  // Without a band the table has no amount to give: a tax of 0 that nobody chose.
  FFaixaAusente.clear();
  if (!cfg.Encontrada)
    FFaixaAusente = "nenhuma faixa configurada (HS_FILIALCFG 2/7/3) em vigor desde o primeiro dia do período";
  else if (FFaixa <= 0)
    FFaixaAusente = "a faixa configurada (HS_FILIALCFG 2/7/3) " + texto::QuotedStr(cfg.Informacao1) +
                    " não é um número de faixa";
  auto Soma = [this](int32_t formula, TDateTime inicio, TTipoSomaReceita escopo) {
    return formula == 1 ? GFuncoes->GetSomaReceitaFormulaCFOPUF(FFilial, 1, inicio, FDataFim, escopo, 1, -1)
                        : GFuncoes->GetSomaReceitaFormulaCFOPUF(FFilial, 2, inicio, FDataFim, escopo, -1, 1);
  };
  const TDateTime inicioDoAno = EncodeDate(DecodeDate(FDataInicio).ano, 1, 1);
  FVolumeEntradasMes = Soma(1, FDataInicio, 1);
  FVolumeEntradasAno = Soma(1, inicioDoAno, 0);
  FReceitaBrutaMes = Soma(2, FDataInicio, 1);
  FReceitaBrutaAno = Soma(2, inicioDoAno, 0);
  FVolumeEntradasCentraliz = FReceitaBrutaCentraliz = Currency();
  if (FFormaApuracao.TipoApuracao == 1) {
    FVolumeEntradasCentraliz = Soma(1, FDataInicio, 0) - FVolumeEntradasMes;
    FReceitaBrutaCentraliz = Soma(2, FDataInicio, 0) - FReceitaBrutaMes;
  }
  return GetValorARecolherProgramaCresce(FFaixa, FDataInicio, FDataFim, FEnquadramento);
}

Currency TResumoSimplesRN::GetValorARecolherProgramaCresce(int32_t faixa, TDateTime inicio, TDateTime fim,
                                                           uint8_t enquadramento) {
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(kSqlValorProgramaCresce, {enquadramento == 0 ? "300101" : "300201", TFormPrincipal::DataSQL(inicio),
                                            TFormPrincipal::DataSQL(fim), std::to_string(faixa)}));
  q.Open();
  return q.Eof() ? Currency() : q.FieldByName("DEDUCAO").AsCurrency();
}

void TResumoSimplesRN::GravarSaldoDevedor() { GravarImpostoARecolher(); }

void TResumoSimplesRN::ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) {
  ImprimirGuiasDoEstabelecimento(kSqlGuiasRecolhidas, linha, imprimir);
}

void TResumoSimplesRN::ImprimirObservacoes(int& linha, const TImprimirProc& imprimir) {
  TResumo::ImprimirObservacoes(linha, imprimir);
  auto Linha = [&](const std::string& rotulo, Currency receita, Currency volume) {
    imprimir(linha, 3, rotulo, 0, false);
    imprimir(linha, 48, GFuncoes->FormatarFloat(receita), 0, false);
    imprimir(linha, 93, GFuncoes->FormatarFloat(volume), 2, false);
  };
  imprimir(linha, 2, "", 1, false);
  imprimir(linha, 3, "INFORMAÇÕES PARA O PROGRAMA CRESCE/RN", 0, false);
  imprimir(linha, 50, "Receita Bruta", 0, false);
  imprimir(linha, 90, "Volume de Entradas", 2, false);
  Linha("Do Estabelecimento:", FReceitaBrutaMes, FVolumeEntradasMes);
  if (FFormaApuracao.TipoApuracao == 1) Linha("Dos Demais Estabelecimentos:", FReceitaBrutaCentraliz, FVolumeEntradasCentraliz);
  Linha("Totais da Empresa:", FReceitaBrutaMes + FReceitaBrutaCentraliz, FVolumeEntradasMes + FVolumeEntradasCentraliz);
  Linha("Acumulados do Ano:", FReceitaBrutaAno, FVolumeEntradasAno);
}
