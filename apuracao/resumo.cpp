// The summary base: identity, the calculation template, the balance arithmetic and the loading of
// its three line lists.
#include "apuracao/resumo.h"

#include "apuracao/sqlapuracao.h"
#include "host/banco/integridade.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"

TResumo::TResumo()
    : FCredito(std::make_unique<TResumoCampos>()),
      FDebito(std::make_unique<TResumoCampos>()),
      FSaldo(std::make_unique<TResumoCampos>()) {}

TResumo::~TResumo() = default;

// One transaction for the whole template: the credit balance carried, the tax due and the
// accounting values of a summary are recorded together or not at all when an error or the end of
// the process stops it half-way. Summaries calculated before keep what they committed. A question
// the user cancels is no fault: what the summary recorded up to it (the auxiliary data confirmed
// in its dialog, say) stays, as the user entered it.
void TResumo::CalcularApuracao() {
  TTransacao transacao(GUtilSistema->GetConnectionSistema());
  try {
    CalcularApuracaoAntes();
    CalcularCIAP();
    CalcularCreditoPresumidoTransporte();
    CalcularInsumoCreditoIndustria();
    CalcularInsumoCreditoTransporte();
    ChamarFormDadosAcessorios();
    LoadDebitos();
    LoadCreditos();
    LoadSaldos();
    CalcularApuracaoDepois();
    AvisarDeducoesNaoAproveitadas();
    GravarSaldoCredor();
    GravarSaldoDevedor();
    GravarValoresParaContabilizacao();
  } catch (const EAbortarSilencioso&) {
    transacao.Confirmar();
    throw;
  } catch (const EEstouroMoeda& e) {
    throw EEstouroMoeda(std::string(e.what()) + " (apuração do imposto " + FCodImposto + " de " + DataBR(FDataInicio) +
                        " a " + DataBR(FDataFim) + ")");
  }
  transacao.Confirmar();
}

void TResumo::CalcularApuracaoAntes() {}
void TResumo::CalcularApuracaoDepois() {}

void TResumo::CalcularCIAP() {
  if (FDeveCalcularCIAP) GFuncoes->CalcularCIAP(FFilial, FDataInicio, FDataFim, GetPeriodicidade());
}

void TResumo::CalcularCreditoPresumidoTransporte() { GFuncoes->CalcularCreditoPresumidoTransporte(FFilial, FDataInicio, FDataFim); }
void TResumo::CalcularInsumoCreditoIndustria() { GFuncoes->CalcularInsumoCreditoIndustria(FFilial, FDataInicio, FDataFim); }
void TResumo::CalcularInsumoCreditoTransporte() { GFuncoes->CalcularInsumoCreditoTransporte(FFilial, FDataInicio, FDataFim); }
void TResumo::ChamarFormDadosAcessorios() {}
void TResumo::ExcluirImposto() { GFuncoes->ExcluirImposto(FFilial, FCodImposto, FDataInicio, FDataFim); }
void TResumo::GravarSaldoDevedor() {}

void TResumo::LoadDebitos() { CarregarDebitos(true); }
void TResumo::LoadCreditos() { CarregarCreditos(true); }
void TResumo::LoadSaldos() { CarregarSaldos(true); }

void TResumo::CarregarDebitos(bool lancamentos) {
  if (lancamentos) FDebito->Load(FFilial, FCodImposto, FDataInicio, FDataFim, {2, 3}, FFormaApuracao);
  LoadRegistrosSaida(FDebito->GetRegistros());
}

void TResumo::CarregarCreditos(bool lancamentos) {
  if (lancamentos) FCredito->Load(FFilial, FCodImposto, FDataInicio, FDataFim, {0, 1, 4, 5}, FFormaApuracao);
  LoadRegistrosEntrada(FCredito->GetRegistros());
}

void TResumo::CarregarSaldos(bool lancamentos) {
  if (lancamentos) FSaldo->Load(FFilial, FCodImposto, FDataInicio, FDataFim, {8, 9}, FFormaApuracao);
}

namespace {
Currency SomaLinhas(TResumoCampos& campos) {
  Currency s;
  for (int i = 0; i < campos.Count(); ++i) s += campos.GetItem(i)->GetTotal();
  return s;
}
}  // namespace

Currency TResumo::GetSomaDebito() { return SomaLinhas(*FDebito) + FDebito->GetRegistros().GetTotalImposto(); }
Currency TResumo::GetSomaCredito() { return SomaLinhas(*FCredito) + FCredito->GetRegistros().GetTotalImposto(); }

Currency TResumo::GetSaldoDevedor() {
  Currency s = GetSomaDebito() - GetSomaCredito();
  return s < Currency() ? Currency() : s;
}

Currency TResumo::GetSaldoCredor() {
  Currency s = GetSomaCredito() - GetSomaDebito();
  return s < Currency() ? Currency() : s;
}

Currency TResumo::ImpostoARecolherDasLinhas() { return GetSaldoDevedor() + SomaLinhas(*FSaldo); }

Currency TResumo::GetImpostoARecolher() {
  const Currency v = ImpostoARecolherDasLinhas();
  return v < Currency() ? Currency() : v;
}

Currency TResumo::GetDeducoesNaoAproveitadas() {
  const Currency v = ImpostoARecolherDasLinhas();
  return v < Currency() ? -v : Currency();
}

TTipoResumo TResumo::GetTipoResumo() const { return trInvalid; }

void TResumo::AcrescentarLeituras(integridade::TLeituras& leituras) const {
  leituras.Acrescentar(FFilial.IdFilial, FDataInicio, FDataFim);
  if (FFormaApuracao.TipoApuracao != 1) return;
  for (const std::string& id : GFuncoes->GetIDsFilialByFilialCfg(FFilial.IdEmpresa, FFormaApuracao.Chave1,
                                                                 FFormaApuracao.Chave2, FFormaApuracao.Chave3, "'2','3'",
                                                                 FDataInicio, FDataFim))
    leituras.Lancamentos.insert(std::stoll(id));
}

void TResumo::AcrescentarLeiturasDesde(integridade::TLeituras& leituras, TDateTime desde, bool empresa,
                                       const std::string& uf) const {
  TResumo::AcrescentarLeituras(leituras);
  leituras.Acrescentar(FFilial.IdFilial, desde, FDataFim);
  if (empresa) leituras.EmpresasDocumentos.emplace(FFilial.IdEmpresa, uf);
}

TResumoCampo* TResumo::LocalizarOuAdicionar(TResumoCampos& campos, int32_t codigo, const std::string& descricao,
                                            int8_t sinal) {
  if (TResumoCampo* c = campos.Locate(codigo)) return c;
  TResumoCampo* c = campos.Add();
  c->SetCodigo(codigo);
  c->SetDescricao(descricao);
  c->SetSinal(sinal);
  return c;
}

void TResumo::AdicionarDetalhe(TResumoCampo& linha, const std::string& codigo, const std::string& descricao, Currency valor) {
  TDetalhamento* d = linha.GetDetalhamentos().Add();
  d->SetCodigo(codigo);
  d->SetDescricao(descricao);
  d->SetValor(valor);
}

TPeriodicidade TResumo::GetPeriodicidade() {
  if (FPeriodicidade == 0) FPeriodicidade = GFuncoes->GetPeriodicidadeICMS(FFilial.IdFilial, FDataInicio);
  return FPeriodicidade;
}

// A due day of 0 (also a DIAVENCTO that is empty or not a number) or past any month's end would
// give a due date nobody chose: the month's last day, moved off the weekend. The kind 3 counts
// days after the period end, any number of them but 0. A configured row is checked even when its
// CODIGO was left empty.
TDateTime TResumo::GetVencimento(const TCodigoRecolhimento& codigo) {
  const bool diasApos = codigo.TpDiaVencto == 3;
  const bool configurado = !codigo.Codigo.empty() || codigo.IdCodigoRec > 0;
  if (configurado && (codigo.DiaVencto <= 0 || (!diasApos && codigo.DiaVencto > 31))) {
    TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
    q.SetSQL(Format(kSqlDiaVencimento, {std::to_string(codigo.IdCodigoRec)}));
    q.Open();
    const std::string guardado = q.Eof() ? std::string() : q.FieldByName("DIAVENCTO").AsString();
    throw EDadosInvalidos(
        "O vencimento do imposto " + FCodImposto + " de " + DataBR(FDataInicio) + " a " + DataBR(FDataFim) +
        " do estabelecimento " + std::to_string(FFilial.IdFilial) + " não pode ser calculado: o código de recolhimento " +
        (codigo.Codigo.empty() ? "''" : codigo.Codigo) + " (ES02_CODIGOREC IDCODIGOREC " +
        std::to_string(codigo.IdCodigoRec) + ", DIAVENCTO " + texto::QuotedStr(guardado) + ") dá o dia de vencimento " +
        std::to_string(codigo.DiaVencto) +
        (diasApos ? "; informe quantos dias depois do fim do período (1 ou mais)." : "; informe um dia de 1 a 31."));
  }
  return QDInterface->CalcularVencimento(FFilial.IdFilial, codigo.TpDiaVencto, FDataInicio, FDataFim, codigo.DiaVencto);
}

Currency TResumo::LerValorGia(const std::string& conteudo) {
  Currency v;
  return TentarLerValor(texto::Aparar(conteudo), v) ? v : Currency();
}

int32_t TResumo::LerInteiroGia(const std::string& conteudo) { return InteiroOuZero(conteudo); }

bool TResumo::TemCodigosGIA() {
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(kSqlTemCodigosGIA, {texto::QuotedStr(FFilial.UF)}));
  q.Open();
  return !q.Eof();
}

std::string NomeTipoResumo(TTipoResumo t) {
  static const char* const nomes[] = {"trInvalid", "trNormal", "trNormalRS", "trSubstTrib", "trSubstTribRS",
                                      "trSubstTribSC", "trSimplesSC", "trBaresSC", "trEstimativaSC", "trNormalSC",
                                      "trSimplesNovoRS", "trSimplesPR", "trSimplesRN", "trNormalPR", "trNormalMA",
                                      "trNormalPA", "trNormalSE"};
  return t <= trNormalSE ? nomes[t] : "tipo " + std::to_string(static_cast<int>(t));
}

std::string ClasseTipoResumo(TTipoResumo t) {
  static const char* const classes[] = {"", "TResumoNormal", "TResumoNormalRS", "TResumoST", "TResumoSTRS",
                                        "TResumoSTSC", "TResumoSimplesSC", "TResumoBaresSC", "TResumoEstimativaSC",
                                        "TResumoNormalSC", "TResumoSimplesNovoRS", "TResumoSimplesPR",
                                        "TResumoSimplesRN", "TResumoNormalPR", "TResumoNormalMA", "TResumoNormalPA",
                                        "TResumoNormalSE"};
  return t <= trNormalSE ? classes[t] : "";
}
