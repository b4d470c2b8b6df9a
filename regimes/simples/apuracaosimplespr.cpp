#include "regimes/simples/apuracaosimplespr.h"

#include "apuracao/sqlapuracao.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "regimes/simples/sqlsimples.h"
#include "regimes/simples/comum.h"
#include "regimes/vencimentopr.h"

TResumoSimplesPR::TResumoSimplesPR() {
  FCodImposto = "2001";
  FTpImposto = 1;
  FDebito->GetRegistros().TotalImposto = [this] { return FImposto; };
  FCredito->GetRegistros().TotalImposto = [] { return Currency(); };
  FSaldo->GetRegistros().TotalImposto = [] { return Currency(); };
}

TTipoResumo TResumoSimplesPR::GetTipoResumo() const { return trSimplesPR; }

void TResumoSimplesPR::AcrescentarLeituras(integridade::TLeituras& leituras) const {
  AcrescentarLeiturasDesde(leituras, EncodeDate(DecodeDate(FDataInicio).ano, 1, 1), false);
}

void TResumoSimplesPR::CalcularApuracaoAntes() {
  const TDataPartes ini = DecodeDate(FDataInicio);
  FIdGia = GFuncoes->GetIDGia(FFilial.IdFilial, ini.ano, ini.mes, 0, ini.dia, DecodeDate(FDataFim).dia);
}

void TResumoSimplesPR::CalcularApuracaoDepois() { CalcularSimples(); }

void TResumoSimplesPR::LoadDebitos() { CarregarDebitos(!Centralizada()); }
void TResumoSimplesPR::LoadCreditos() { CarregarCreditos(!Centralizada()); }
void TResumoSimplesPR::LoadSaldos() { CarregarSaldos(!Centralizada()); }

void TResumoSimplesPR::SomarColigadas(TDateTime inicio, TDateTime fim, Currency& bruta, Currency* tributavel) {
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(kSqlReceitaColigadas,
                  {std::to_string(FFilial.IdFilial), TFormPrincipal::DataSQL(inicio), TFormPrincipal::DataSQL(fim)}));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    bruta += simples::ValorDoTexto(q.FieldByName("RECBRUTA"));
    if (tributavel) *tributavel += simples::ValorDoTexto(q.FieldByName("RECTRIB"));
  }
}

void TResumoSimplesPR::CalcularSimples() {
  FImposto = FDeducao = FReceitaBrutaAno = FReceitaBrutaMes = FReceitaBrutaColigados = FReceitaTribMes =
      FReceitaTribColigados = Currency();
  FClasse = 0;
  auto Soma = [this](int32_t formula, TDateTime inicio) {
    return GFuncoes->GetSomaReceitaFormulaCFOPUF(FFilial, formula, inicio, FDataFim, 1, -1, 1);
  };
  const TDateTime inicioDoAno = EncodeDate(DecodeDate(FDataInicio).ano, 1, 1);
  FReceitaBrutaAno = Soma(1, inicioDoAno);
  FReceitaBrutaMes = Soma(1, FDataInicio);
  FReceitaTribMes = Soma(2, FDataInicio);
  if (FFormaApuracao.TipoApuracao == 1) {
    SomarColigadas(inicioDoAno, FDataFim, FReceitaBrutaAno, nullptr);
    SomarColigadas(FDataInicio, FDataFim, FReceitaBrutaColigados, &FReceitaTribColigados);
    FReceitaBrutaMes += FReceitaBrutaColigados;
    FReceitaTribMes += FReceitaTribColigados;
  }
  if (Centralizada()) return;
  GetAliquota(FReceitaTribMes);
  FImposto = Imposto(FReceitaTribMes, FAliquota, FDeducao);
}

Currency TResumoSimplesPR::Imposto(Currency receitaTributavel, const TFracao& aliquota, Currency deducao) {
  const TFracao imposto = TFracao(receitaTributavel) * aliquota / TFracao(100) - TFracao(deducao);
  const Currency centavos = QDInterface->Arredondar(1, 2, imposto, 10).ParaMoeda();
  return centavos < Currency() ? Currency() : centavos;
}

void TResumoSimplesPR::GetAliquota(Currency valor) {
  const simples::TFaixa f = simples::BuscarFaixa("2301", FDataInicio, FDataFim, valor);
  FAliquota = f.Aliquota;
  FClasse = f.Classe;
  FDeducao = f.Deducao;
}

TCodigoRecolhimento TResumoSimplesPR::GetCodigoRecolhimento() {
  if (!FCodigoRecolhimento.Codigo.empty()) return FCodigoRecolhimento;
  const auto linha = LerCodigoRecolhimentoConfigurado();
  if (!linha) return TCodigoRecolhimento{};
  const std::string digitos = vencimentopr::Digitos(FFilial.InscrEstadual);
  FCodigoRecolhimento =
      vencimentopr::CodigoRecolhimento(*linha, digitos.empty() ? std::nullopt : std::optional(digitos.back()));
  FCodigoRecolhimento.Vencimento = GetVencimento(FCodigoRecolhimento);
  return FCodigoRecolhimento;
}

void TResumoSimplesPR::GravarSaldoDevedor() { GravarImpostoARecolher(); }

void TResumoSimplesPR::ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) {
  ImprimirGuiasDoEstabelecimento(kSqlGuiasNormal, linha, imprimir);
}

void TResumoSimplesPR::ImprimirObservacoes(int& linha, const TImprimirProc& imprimir) {
  TResumo::ImprimirObservacoes(linha, imprimir);
  auto Valor = [](Currency v) { return GFuncoes->FormatarFloat(v); };
  imprimir(linha, 3, "", 1, false);
  imprimir(linha, 3, "DEMONSTRAÇÃO DO CÁLCULO DO SIMPLES", 2, false);
  imprimir(linha, 3, "REC. BRUTA DO MES (ENQUAD):", 0, false);
  imprimir(linha, 32, Valor(FReceitaBrutaMes - FReceitaBrutaColigados), 0, false);
  imprimir(linha, 58, "RECEITA TRIBUTAVEL DO MES:", 0, false);
  imprimir(linha, 90, Valor(FReceitaTribMes - FReceitaTribColigados), 0, false);
  if (FFormaApuracao.TipoApuracao == 1) {
    imprimir(linha, 3, "", 1, false);
    imprimir(linha, 3, "REC. BRUTA DO MES COLIGADOS:", 0, false);
    imprimir(linha, 32, Valor(FReceitaBrutaColigados), 0, false);
    imprimir(linha, 58, "REC. TRIB. DO MES COLIGADOS:", 0, false);
    imprimir(linha, 90, Valor(FReceitaTribColigados), 1, false);
    imprimir(linha, 3, "REC. BRUTA DO MES TOTAL:", 0, false);
    imprimir(linha, 32, Valor(FReceitaBrutaMes), 0, false);
    imprimir(linha, 58, "REC. TRIB. DO MES TOTAL:", 0, false);
    imprimir(linha, 90, Valor(FReceitaTribMes), 0, false);
  }
  if (Centralizada())
    imprimir(linha, 113, "ALIQUOTA: 0% (CENTRALIZADA)", 1, false);
  else
    imprimir(linha, 113, "FAIXA: " + std::to_string(FClasse) + "      ALIQUOTA: " + FAliquota.TextoDecimal() + "%", 1,
             false);
  imprimir(linha, 3, "RECEITA BRUTA ANUAL:", 0, false);
  imprimir(linha, 32, Valor(FReceitaBrutaAno), 1, false);
}
