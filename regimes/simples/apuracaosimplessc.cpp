// The small business of SC: revenue by the state's formulas, the rate table's bracket, the return's
// deduction and dialog, centralisation, and the revenue figures the book prints under the observations.
#include "regimes/simples/apuracaosimplessc.h"

#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "regimes/normal/dadosauxsc.h"
#include "regimes/regrassc.h"
#include "regimes/sqlregimes.h"

namespace {

// Formula numbers of the state's CFOP configuration and the scopes of their sums.
constexpr int32_t kFormulaReceitaBruta = 1, kFormulaReceitaTributavel = 2;
constexpr TTipoSomaReceita kEmpresa = 0, kEstabelecimento = 1, kEmpresaNaUF = 2;

// The rate as the book shows it ("##0.0000"): four decimals after a comma, no thousands separator.
std::string FormatarAliquota(const TFracao& aliquota) { return FormatarFixo(aliquota.ParaMoeda(), 4); }

}  // namespace

TResumoSimplesSC::TResumoSimplesSC() {
  FCodImposto = "2001";
  FTpImposto = 1;
  FDebito->GetRegistros().TotalImposto = [this] { return GetDebitosPelasSaidas(); };
  FCredito->GetRegistros().TotalImposto = [this] { return GetTotalImposto(); };
  FSaldo->GetRegistros().TotalImposto = [this] { return GetTotalImposto(); };
}

TTipoResumo TResumoSimplesSC::GetTipoResumo() const { return trSimplesSC; }

void TResumoSimplesSC::AcrescentarLeituras(integridade::TLeituras& leituras) const {
  AcrescentarLeiturasDesde(leituras, EncodeDate(DecodeDate(FDataInicio).ano, 1, 1), Centralizador());
}

void TResumoSimplesSC::CalcularApuracaoAntes() {
  const TDataPartes inicio = DecodeDate(FDataInicio);
  FIdGia = GFuncoes->GetIDGia(FFilial.IdFilial, inicio.ano, inicio.mes, 0, inicio.dia, DecodeDate(FDataFim).dia);
  FTemAcordo = regrassc::ClasseExigeAcordo(GetCodigoRecolhimento().Codigo1);
  BuscaDadosAuxiliares();
  FFormaApuracao = GFuncoes->GetFormaApuracao(FFilial, FDataInicio, FDataFim);
}

void TResumoSimplesSC::BuscaDadosAuxiliares() {
  FAcordo = GetNumeroAcordoDoPeriodoOuAnterior();
  FDedRecTrib = GetDedRecTrib();
}

std::string TResumoSimplesSC::GetNumeroAcordoDoPeriodoOuAnterior() { return regrassc::NumeroAcordoDoPeriodoOuAnterior(*this); }

// Only the return of the period itself: a deduction is not proposed from another month.
Currency TResumoSimplesSC::GetDedRecTrib() {
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(kSqlDeducaoReceitaTributavel,
                  {std::to_string(FIdGia), texto::QuotedStr("27"), texto::QuotedStr("DEDRECTRIB")}));
  q.Open();
  Currency v;
  if (q.Eof() || !TentarLerValor(q.FieldByName("CONTEUDO").AsString(), v)) return Currency();
  return v;
}

void TResumoSimplesSC::ChamarFormDadosAcessorios() {
  if (!FSolicitarDadosAcessorios) return;
  TFormDadosAuxSC form;
  form.PreencheCampos(FAcordo, FDedRecTrib);
  form.edtAcordo.Visible = FTemAcordo;
  form.edtDeducao.Visible = true;
  if (form.ShowModal() != mrOk) return;
  FAcordo = form.edtAcordo.Texto;
  FDedRecTrib = form.edtDeducao.Valor;
  GFuncoes->GravarGiaDet(FIdGia, "27", "DEDRECTRIB", "", FormatarDecimal(FDedRecTrib));
}

// The centraliser settles the group's settlement entries; a centralised establishment loads none.
void TResumoSimplesSC::LoadDebitos() {
  if (Centralizado()) LoadRegistrosSaida(FDebito->GetRegistros());
  else TResumo::LoadDebitos();
}

void TResumoSimplesSC::LoadCreditos() {
  if (Centralizado()) LoadRegistrosEntrada(FCredito->GetRegistros());
  else TResumo::LoadCreditos();
}

void TResumoSimplesSC::LoadSaldos() {
  if (!Centralizado()) TResumo::LoadSaldos();
}

void TResumoSimplesSC::CalcularApuracaoDepois() { FImposto = CalcularSimples(); }

Currency TResumoSimplesSC::CalcularSimples() {
  FReceitaBrutaAno = FReceitaBrutaMesPropria = FReceitaBrutaMesCentraliz = Currency();
  FReceitaTribMesPropria = FReceitaTribMesCentraliz = Currency();
  FAliquota = TFracao();
  FClasse = 0;
  FDeducao = Currency();
  // Entries (returns of sales) lower the revenue.
  auto Soma = [this](int32_t formula, TDateTime inicio, TTipoSomaReceita escopo) {
    return GFuncoes->GetSomaReceitaFormulaCFOPUF(FFilial, formula, inicio, FDataFim, escopo, -1, 1);
  };
  const TDateTime inicioAno = EncodeDate(DecodeDate(FDataInicio).ano, 1, 1);
  FReceitaBrutaMesPropria = Soma(kFormulaReceitaBruta, FDataInicio, kEstabelecimento);
  if (Centralizador()) {
    FReceitaBrutaAno = Soma(kFormulaReceitaBruta, inicioAno, kEmpresa);
    FReceitaBrutaMesCentraliz = Soma(kFormulaReceitaBruta, FDataInicio, kEmpresa) - FReceitaBrutaMesPropria;
  } else {
    FReceitaBrutaAno = Soma(kFormulaReceitaBruta, inicioAno, kEstabelecimento);
  }
  FReceitaTribMesPropria = Soma(kFormulaReceitaTributavel, FDataInicio, kEstabelecimento);
  if (Centralizador())
    FReceitaTribMesCentraliz = Soma(kFormulaReceitaTributavel, FDataInicio, kEmpresaNaUF) - FReceitaTribMesPropria;
  if (Centralizado()) return Currency();

  const Currency base = FReceitaTribMesPropria + FReceitaTribMesCentraliz - FDedRecTrib;
  FAliquota = QDInterface->Arredondar(0, 5, GetAliquota(base), 10);
  if (FClasse == 1) return FAliquota.ParaMoeda();
  return Imposto(base, FAliquota, FDeducao);
}

Currency TResumoSimplesSC::Imposto(Currency receitaTributavel, const TFracao& aliquota, Currency deducao) {
  const TFracao receita(QDInterface->Arredondar(0, 2, receitaTributavel, 10));
  return (receita * aliquota / TFracao(100) - TFracao(deducao)).ParaMoeda();
}

TFracao TResumoSimplesSC::GetAliquota(Currency valor) {
  FClasse = 0;
  FDeducao = Currency();
  const std::string v = FormatarDecimal(valor);
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(kSqlFaixaSimplesSC, {texto::QuotedStr("2101"), TFormPrincipal::DataSQL(FDataInicio),
                                       TFormPrincipal::DataSQL(FDataFim), v, v}));
  q.Open();
  if (q.Eof()) return TFracao();
  FClasse = q.FieldByName("CLASSE").AsInteger();
  FDeducao = q.FieldByName("DEDUCAO").AsCurrency();
  return q.FieldByName("ALIQUOTA").AsFracao();
}

void TResumoSimplesSC::GravarSaldoDevedor() { regrassc::GravarImpostoComAcordo(*this, FAcordo); }

// A recorded due date that is not a date prints without one (the guide reader takes it as 0).
void TResumoSimplesSC::ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) {
  ImprimirGuiasDoPeriodo(kSqlGuiasClasseVcto, FFilial.UF, linha, imprimir);
  ImprimirDebitosEspecificos(linha, imprimir);
}

void TResumoSimplesSC::ImprimirObservacoes(int& linha, const TImprimirProc& imprimir) {
  TResumo::ImprimirObservacoes(linha, imprimir);
  imprimir(linha, 2, "", 1, false);
  auto Valor = [](Currency v) { return GFuncoes->FormatarFloat(v); };
  if (FReceitaTribMesCentraliz != Currency()) {
    imprimir(linha, 3, "INFORM DEMAIS ESTAB: Rec Bruta MES:", 0, false);
    imprimir(linha, 38, Valor(FReceitaBrutaMesCentraliz), 0, false);
    imprimir(linha, 89, "Rec Trib MES:", 0, false);
    imprimir(linha, 102, Valor(FReceitaTribMesCentraliz), 1, false);
  }
  imprimir(linha, 3, "INFORM DESTE  ESTAB: Rec Bruta MES:", 0, false);
  imprimir(linha, 38, Valor(FReceitaBrutaMesPropria), 0, false);
  imprimir(linha, 89, "Rec Trib MES:", 0, false);
  imprimir(linha, 102, Valor(FReceitaTribMesPropria), 0, false);
  imprimir(linha, 120, "Ded Rec Trib MES:", 0, false);
  imprimir(linha, 137, Valor(FDedRecTrib), 1, false);
  imprimir(linha, 3, "INFORM GERAIS TOTAL: Rec Bruta MES:", 0, false);
  imprimir(linha, 38, Valor(FReceitaBrutaMesPropria + FReceitaBrutaMesCentraliz), 0, false);
  imprimir(linha, 56, "Rec Bruta ANO:", 0, false);
  imprimir(linha, 71, Valor(FReceitaBrutaAno), 0, false);
  imprimir(linha, 89, "Rec Trib MES:", 0, false);
  const Currency tributavel = FReceitaTribMesPropria + FReceitaTribMesCentraliz - FDedRecTrib;
  if (tributavel < Currency()) {
    imprimir(linha, 102, Valor(Currency()), 0, false);
    imprimir(linha, 120, "Vlr Min", 1, false);
    imprimir(linha, 3, "SALDO DE DEDUÇÃO DE RECEITA TRIBUTÁRIA(A dedução foi maior que a Receita)..........................:", 0,
             false);
    imprimir(linha, 102, Valor(tributavel), 1, false);
  } else {
    imprimir(linha, 102, Valor(tributavel), 0, false);
    imprimir(linha, 120, "ALÍQUOTA:", 0, false);
    imprimir(linha, 130, FormatarAliquota(FAliquota), 1, false);
  }
}
